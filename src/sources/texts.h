#pragma once

// Texts the address sources show to the user, UTF-8, exactly as the program words them.
namespace pelmoa::sources_texts {

inline constexpr char kRegistCaption[] = "登録ＵＲＬ一覧";
inline constexpr char kColumnTitle[] = "タイトル";
inline constexpr char kColumnUrl[] = "URL";
inline constexpr char kLabelTitle[] = "タイトル(&T)：";
inline constexpr char kLabelUrl[] = "&URL：";
inline constexpr char kAdd[] = "追加(&A)";
inline constexpr char kEdit[] = "修正(&R)";
inline constexpr char kDel[] = "削除(&D)";
inline constexpr char kSave[] = "保存(&S)";
inline constexpr char kOK[] = "&ＯＫ";
inline constexpr char kCancel[] = "ｷｬﾝｾﾙ(&C)";

inline constexpr char kErrorTitle[] = "指定エラー";
inline constexpr char kNoUrl[] = "ＵＲＬを指定してください";
inline constexpr char kTitleIsNone[] =
    "「None」はタイトルに使えません。別のタイトルを指定してください";
inline constexpr char kUntitled[] = "Untitled";

inline constexpr char kFavDialogTitle[] = "お気に入りを開く";
inline constexpr char kFavFilter[] = "お気に入り (*.url)";
inline constexpr char kShortcutWithoutUrl[] = "選択したファイルにURLが見つかりませんでした";
inline constexpr char kShortcutUnreadable[] = "選択したファイルを読み込めませんでした";

}  // namespace pelmoa::sources_texts
