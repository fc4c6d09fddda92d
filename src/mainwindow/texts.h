#pragma once

// The main window's own words, exactly as the user sees them (UTF-8).

namespace pelmoa::texts {

inline constexpr char kMainCaption[] = "ぺるもあ";

inline constexpr char kFrame2Caption[] = "対象URL(&U)";
inline constexpr char kFrame3Caption[] = "保存先フォルダ(&S)";
inline constexpr char kFrame1Caption[] = "表示(&V)";

inline constexpr char kCmdFavCaption[] = "お気に入り(&F)...";
inline constexpr char kCmdCurrCaption[] = "現在IEで表示中のページ(&I)";
inline constexpr char kCmdRegCaption[] = "登録(&R)...";
inline constexpr char kCmdBrowseCaption[] = "ブラウザでこのページを開く(&B)...";
inline constexpr char kChkModernCaption[] = "最近のページにも対応(&W)";
inline constexpr char kCmdFolderCaption[] = "参照(&B)...";
inline constexpr char kCmdNewCaption[] = "新規作成(&N)";
inline constexpr char kChkViewCaption[] = "画像を表示する(&P)";
inline constexpr char kChkHalfCaption[] = "縮小表示(&T)";
inline constexpr char kCmdGetCaption[] = "ぺ～る！(&G)";
inline constexpr char kCmdQuitCaption[] = "終了(&Q)";
inline constexpr char kCmdHelpCaption[] = "ヘルプ(&H)...";
inline constexpr char kChkSmallCaption[] = "小さな画像を除く(&M)";
inline constexpr char kUpdMinSideSuffix[] = " px";

inline constexpr char kTxtURLTip[] = "画像をダウンロードしたいページのURLを指定します。";
inline constexpr char kCmdFavTip[] = "Internet Explorerの「お気に入り」からURLを取得します。";
inline constexpr char kCmdCurrTip[] =
    "いま開いているInternet Explorerのウィンドウで表示しているページのURLを取得します";
inline constexpr char kCmdRegTip[] = "ぺるもあ用にURLを登録したり、登録したURLを選択できます。";
inline constexpr char kCmdBrowseTip[] = "指定しているURLを標準のウェブブラウザで開きます。";
inline constexpr char kChkModernTip[] =
    "遅延読み込みの画像(data-src)、srcsetの一番大きい画像、.jpeg・.webpの画像、"
    "?の付いたアドレスも探します。";
inline constexpr char kTxtFolderTip[] = "ダウンロードした画像を保存するフォルダを指定します。";
inline constexpr char kCmdFolderTip[] = "フォルダを指定するダイアログを表示します。";
inline constexpr char kCmdNewTip[] = "フォルダを新規作成します。";
inline constexpr char kChkViewTip[] =
    "ダウンロードした画像をぺるもあで一覧表示させるかどうかを指定します。";
inline constexpr char kChkHalfTip[] = "表示する画像を１/２サイズに縮小するかどうか指定します。";
inline constexpr char kCmdGetTip[] = "指定に従ってダウンロードを実行します。";
inline constexpr char kCmdQuitTip[] = "ぺるもあを終了します。";
inline constexpr char kCmdHelpTip[] = "ぺるもあのヘルプを表示します。";
inline constexpr char kChkSmallTip[] =
    "幅か高さが右の大きさより小さい画像（アイコン、区切りの画像、1×1のカウンターなど）を"
    "保存しません。";
inline constexpr char kUpdMinSideTip[] = "保存する画像の幅と高さの最小値をピクセルで指定します。";
inline constexpr char kStbStatPanelTip[] = "現在の作業状況を表示します。";

// Message boxes of the run request. Qt breaks lines at "\n" alone; "\r" would show.
inline constexpr char kTitleInputError[] = "指定エラー";
inline constexpr char kMessageNeedUrlAndFolder[] = "URLと保存先フォルダを指定してください";
inline constexpr char kMessageFolderMissing[] =
    "指定された保存先フォルダは存在しません。\n新規にフォルダを作成しますか？";

}  // namespace pelmoa::texts
