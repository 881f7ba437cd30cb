// The profile kept by QSettings: an INI file per program under the company folder,
// "<config home>/Vantor Studio/<program>.conf", one [section] per profile section.
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "platform/profile.h"
#include "platform/qt_text.h"

namespace platform {
namespace {

std::u16string U(const QString& text) {
  return text.toStdU16String();
}

class SettingsProfile final : public Profile {
 public:
  explicit SettingsProfile(std::u16string_view program)
      : settings_(QSettings::NativeFormat, QSettings::UserScope, ToQString(kCompanyName),
                  ToQString(program)) {}

  int GetInt(std::u16string_view section, std::u16string_view key, int fallback) override {
    QVariant value = settings_.value(Key(section, key));
    if (!value.isValid()) return fallback;
    bool ok = false;
    int number = value.toString().trimmed().toInt(&ok);
    return ok ? number : fallback;
  }

  std::u16string GetString(std::u16string_view section, std::u16string_view key,
                           std::u16string_view fallback) override {
    QVariant value = settings_.value(Key(section, key));
    if (!value.isValid()) return std::u16string(fallback);
    // A hand-edited value with commas reads back as a list; keep it as written.
    if (value.typeId() == QMetaType::QStringList) return U(value.toStringList().join(u", "));
    return U(value.toString());
  }

  bool WriteInt(std::u16string_view section, std::u16string_view key, int value) override {
    settings_.setValue(Key(section, key), QString::number(value));
    return Sync();
  }

  bool WriteString(std::u16string_view section, std::u16string_view key,
                   std::u16string_view value) override {
    settings_.setValue(Key(section, key), ToQString(value));
    return Sync();
  }

  bool Remove(std::u16string_view section, std::u16string_view key) override {
    settings_.remove(Key(section, key));
    return Sync();
  }

 private:
  static QString Key(std::u16string_view section, std::u16string_view key) {
    return ToQString(section) + u'/' + ToQString(key);
  }
  // Every write goes to disk at once (QSettings replaces the file atomically), so a crash
  // later on loses nothing.  A garbled file only makes reads fall back to defaults.
  bool Sync() {
    settings_.sync();
    return settings_.status() != QSettings::AccessError;
  }

  QSettings settings_;
};

}  // namespace

std::unique_ptr<Profile> OpenSettingsProfile(std::u16string_view program) {
  return std::make_unique<SettingsProfile>(program);
}

}  // namespace platform
