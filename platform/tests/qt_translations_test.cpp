#include "platform/qt_translations.h"

#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTranslator>

#include "platform/tests/qt_test_support.h"

namespace platform {
namespace {

QString Translated(const char* context, const char* text) {
  return QCoreApplication::translate(context, text);
}

TEST(QtTranslations, QtsOwnTextsAreJapaneseAndOursStayAsTheyAre) {
  QApplication& app = testing::App();
  ASSERT_TRUE(InstallQtTranslations(app)) << "Qt's catalogue qtbase_ja is not installed";
  EXPECT_TRUE(InstallQtTranslations(app)) << "a second call keeps the first catalogue";
  EXPECT_EQ(app.findChildren<QTranslator*>(QLatin1String(kQtTranslatorName)).size(), 1);

  const struct {
    const char* context;
    const char* english;
    QString japanese;
  } cases[] = {
      {"QPlatformTheme", "Cancel", u"キャンセル"_qs},
      {"QPlatformTheme", "&Yes", u"はい(&Y)"_qs},
      {"QFileDialog", "Look in:", u"アドレス:"_qs},
      {"QFileDialog", "Files of type:", u"ファイルの種類:"_qs},
      // Texts the catalogue does not know pass through.
      {"SettingsDialog", "表示倍率", u"表示倍率"_qs},
      {"QPlatformTheme", "Yomitoki", u"Yomitoki"_qs},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.english);
    EXPECT_EQ(Translated(c.context, c.english), c.japanese);
  }
  QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  EXPECT_EQ(box.button(QDialogButtonBox::Cancel)->text(), u"キャンセル"_qs);
  EXPECT_EQ(QLocale().language(), QLocale::Japanese);

  // Other tests of this binary expect Qt's English texts.
  for (QTranslator* t : app.findChildren<QTranslator*>(QLatin1String(kQtTranslatorName))) {
    QCoreApplication::removeTranslator(t);
    delete t;
  }
  QLocale::setDefault(QLocale::c());
  EXPECT_EQ(Translated("QPlatformTheme", "Cancel"), u"Cancel"_qs);
}

}  // namespace
}  // namespace platform
