#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QtTest>

#include "test_class.h"

namespace pelmoa {

// The help document as the build leaves it beside the program.
class HelpFileTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void everyPictureItNamesExists();
  void everyLocalLinkExists();
  void describesEveryControlAndMessage_data();
  void describesEveryControlAndMessage();

 private:
  // Attribute values of the given name on tags of the given kind ("*" for any).
  QStringList AttributeValues(const QString& tag, const QString& attribute) const;

  QDir help_dir_{QStringLiteral(PELMOA_BUILT_HELP_DIR)};
  QString html_;
  QString plain_text_;
};

void HelpFileTest::initTestCase() {
  QFile file(help_dir_.filePath(QStringLiteral("Pelmoa.html")));
  QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
  html_ = QString::fromUtf8(file.readAll());
  QVERIFY(html_.contains(QStringLiteral("<meta charset=\"utf-8\">"), Qt::CaseInsensitive));
  plain_text_ = html_;
  plain_text_.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
  plain_text_.replace(QStringLiteral("&nbsp;"), QStringLiteral(" "));
  plain_text_.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
}

QStringList HelpFileTest::AttributeValues(const QString& tag, const QString& attribute) const {
  const QString tag_pattern = tag == u'*' ? QStringLiteral("[a-z][a-z0-9]*") : tag;
  const QRegularExpression re(
      QStringLiteral("<%1\\b[^>]*\\b%2\\s*=\\s*\"([^\"]*)\"").arg(tag_pattern, attribute),
      QRegularExpression::CaseInsensitiveOption);
  QStringList values;
  for (const QRegularExpressionMatch& m : re.globalMatch(html_)) values << m.captured(1);
  return values;
}

void HelpFileTest::everyPictureItNamesExists() {
  const QStringList pictures = AttributeValues(QStringLiteral("img"), QStringLiteral("src"));
  QVERIFY(!pictures.isEmpty());
  // The walk-through shows the main window.
  QVERIFY(pictures.contains(QStringLiteral("pelmoa-main-window.png")));
  for (const QString& src : pictures) {
    QVERIFY2(!src.contains(QStringLiteral("://")), qPrintable(src + " is not local"));
    const QFileInfo picture(help_dir_.filePath(src));
    QVERIFY2(picture.isFile() && picture.size() > 0, qPrintable(picture.filePath()));
  }
}

void HelpFileTest::everyLocalLinkExists() {
  for (const QString& href : AttributeValues(QStringLiteral("a"), QStringLiteral("href"))) {
    if (href.startsWith(u'#')) {
      const QString id = href.mid(1);
      QVERIFY2(AttributeValues(QStringLiteral("*"), QStringLiteral("id")).contains(id),
               qPrintable(href));
      continue;
    }
    if (href.contains(QStringLiteral("://"))) continue;
    QVERIFY2(QFileInfo(help_dir_.filePath(href)).isFile(), qPrintable(href));
  }
}

void HelpFileTest::describesEveryControlAndMessage_data() {
  QTest::addColumn<QString>("text");

  // The main window's captions as the user sees them (the ampersand is not shown).
  for (const char* caption :
       {"対象URL(U)", "お気に入り(F)...", "現在IEで表示中のページ(I)", "登録(R)...",
        "ブラウザでこのページを開く(B)...", "保存先フォルダ(S)", "参照(B)...", "新規作成(N)",
        "表示(V)", "画像を表示する(P)", "縮小表示(T)", "ぺ～る！(G)", "終了(Q)", "ヘルプ(H)...",
        "小さな画像を除く(M)"}) {
    QTest::newRow(caption) << QString::fromUtf8(caption);
  }
  for (const char* message :
       {"指定のHTMLファイルは存在しないか、参照できません", "指定のURLには画像が存在しません",
        "URLと保存先フォルダを指定してください", "指定された保存先フォルダは存在しません。",
        "新規にフォルダを作成しますか？", "そのフォルダは既に存在しています", "が作成されました",
        "フォルダを作成できませんでした", "HTMLファイルの取得中", "ページ情報の解析中",
        "画像情報を取得中", "画像のダウンロード中 全12画像   Error:2",
        "画像のダウンロード中 全12画像   除外:3", "全12画像中 3画像を小さいため除外しました",
        "MinimumSide",
        "~/.config/Pelmoa/Pelmoa.conf", "[Setting]", "[URL]", "DLFolder"}) {
    QTest::newRow(message) << QString::fromUtf8(message);
  }
}

void HelpFileTest::describesEveryControlAndMessage() {
  QFETCH(QString, text);
  QVERIFY2(plain_text_.contains(text), qPrintable(text));
}

}  // namespace pelmoa

PELMOA_TEST_CLASS(pelmoa::HelpFileTest);
#include "help_file_test.moc"
