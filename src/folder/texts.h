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
inline constexpr char kReasonRelative[] = "フォルダはフルパスで指定してください";

// When the browser or help button could start nothing: this text, then the address or file.
inline constexpr char kShellTitle[] = "ぺるもあ";
inline constexpr char kNoBrowser[] = "ウェブブラウザを起動できませんでした";
inline constexpr char kNoHelpViewer[] = "ヘルプを表示できませんでした";

}  // namespace pelmoa::folder_texts
