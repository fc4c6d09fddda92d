#pragma once

// Texts the destination-folder buttons show, in UTF-8.

namespace pelmoa::folder_texts {

inline constexpr char kFolderDialogTitle[] = "ダウンロード先フォルダの選択";

inline constexpr char kExistsText[] = "そのフォルダは既に存在しています";
inline constexpr char kExistsTitle[] = "既存";

// The success message is three lines: head, the folder as typed, tail.
inline constexpr char kCreatedHead[] = "フォルダ";
inline constexpr char kCreatedTail[] = "が作成されました";
inline constexpr char kNewFolderTitle[] = "新規フォルダ";

// The failure message is three lines: this text, the folder as typed, the reason.
inline constexpr char kNotCreated[] = "フォルダを作成できませんでした";
inline constexpr char kReasonEmpty[] = "フォルダ名が入力されていません";
inline constexpr char kReasonBadCharacter[] = "フォルダ名に使えない文字が含まれています";
inline constexpr char kReasonNoPermission[] = "その場所に書き込む権限がありません";
inline constexpr char kReasonNotADirectory[] = "途中にフォルダではなくファイルがあります";
inline constexpr char kReasonReadOnly[] = "書き込みのできない場所です";
inline constexpr char kReasonNoSpace[] = "ディスクの空き容量が足りません";
inline constexpr char kReasonTooLong[] = "フォルダ名が長すぎます";
inline constexpr char kReasonFileInTheWay[] = "同じ名前のファイルがあります";
inline constexpr char kReasonRelative[] = "フォルダはフルパスで指定してください";
inline constexpr char kReasonNoSuchPlace[] = "その場所（ドライブやネットワーク上の場所）が見つかりません";
inline constexpr char kReasonNotReady[] = "ドライブの準備ができていません";
inline constexpr char kReasonInUse[] = "ほかのプログラムが使用中です";
inline constexpr char kReasonIo[] = "ディスクの読み書きでエラーが起きました";
// Anything rarer: this text, the system's error number, the tail.
inline constexpr char kReasonOtherHead[] = "システムのエラーです（エラー番号 ";
inline constexpr char kReasonOtherTail[] = "）";

// When the browser or help button could start nothing: this text, then the address or file.
inline constexpr char kShellTitle[] = "ぺるもあ";
inline constexpr char kNoBrowser[] = "ウェブブラウザを起動できませんでした";
inline constexpr char kNoHelpViewer[] = "ヘルプを表示できませんでした";

}  // namespace pelmoa::folder_texts
