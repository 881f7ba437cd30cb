// key_config_model.cpp — the key assignment dialog's working copy and the key capture.
#include "host/key_config_model.h"

#include <algorithm>

#include "platform/text_codec.h"

namespace yk {
namespace {

// F23 and F24: a device may send one of them ahead of the key the user means.
constexpr int kPrefixKeyFirst = 134;
constexpr int kPrefixKeyLast = 135;

}  // namespace

KeyConfigModel::KeyConfigModel(const KeyTable& table) {
  const int count = std::clamp(int(table.count), 0, int(kKeyTableCapacity));
  entries_.reserve(size_t(count));
  for (int i = 0; i < count; ++i) {
    const KeyEntry& entry = table.entries[i];
    entries_.push_back({entry.label.get(), int(entry.key), int(entry.group)});
  }
  if (count > 0) selected_ = 0;
}

std::u16string KeyConfigModel::LineText(int i) const {
  if (i < 0 || i >= count()) return {};
  const KeyConfigEntry& entry = entries_[size_t(i)];
  if (entry.key == 0 || entry.key == kNothingCaptured) return entry.label;
  return entry.label + u" : " + platform::Utf8ToUtf16(std::to_string(entry.key));
}

std::vector<std::u16string> KeyConfigModel::Lines() const {
  std::vector<std::u16string> lines;
  for (int i = 0; i < count(); ++i) lines.push_back(LineText(i));
  return lines;
}

void KeyConfigModel::Select(int index) {
  if (index >= 0 && index < count()) selected_ = index;
}

int KeyConfigModel::SelectedKey() const {
  return selected_ >= 0 ? entries_[size_t(selected_)].key : 0;
}

void KeyConfigModel::TypeKey(int key) {
  if (selected_ < 0) return;
  entries_[size_t(selected_)].key = key;
  listNeedsRefresh_ = true;
}

bool KeyConfigModel::AssignCaptured(int code) {
  if (selected_ < 0 || code == 0 || code == kNothingCaptured) return false;
  KeyConfigEntry& chosen = entries_[size_t(selected_)];
  for (KeyConfigEntry& entry : entries_) {
    if (entry.key == code && (entry.group == chosen.group || entry.group == 0)) entry.key = 0;
  }
  chosen.key = code;
  listNeedsRefresh_ = true;
  return true;
}

void KeyConfigModel::ClearSelectedKey() {
  if (selected_ < 0) return;
  entries_[size_t(selected_)].key = 0;
  listNeedsRefresh_ = true;
}

void KeyConfigModel::WriteBack(KeyTable& table) const {
  for (int i = 0; i < count(); ++i) table.entries[i].key = entries_[size_t(i)].key;
}

bool KeyCapture::KeyReleased(int code) {
  if (code == 0) return false;
  capturedKey_ = code;
  captured_ = true;
  return code < kPrefixKeyFirst || code > kPrefixKeyLast;
}

void KeyCapture::Closed() {
  if (!captured_) capturedKey_ = kNothingCaptured;
}

}  // namespace yk
