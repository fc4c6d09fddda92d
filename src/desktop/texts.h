#pragma once

// Texts of the services every window shares, in UTF-8.

namespace pelmoa::desktop_texts {

// Why a folder could not be made, the third line of the message that says so.
inline constexpr char kReasonEmpty[] = "フォルダ名が入力されていません";
inline constexpr char kReasonBadCharacter[] = "フォルダ名に使えない文字が含まれています";
inline constexpr char kReasonNoPermission[] = "その場所に書き込む権限がありません";
inline constexpr char kReasonNotADirectory[] = "途中にフォルダではなくファイルがあります";
inline constexpr char kReasonReadOnly[] = "書き込みのできない場所です";
inline constexpr char kReasonNoSpace[] = "ディスクの空き容量が足りません";
inline constexpr char kReasonTooLong[] = "フォルダ名が長すぎます";
inline constexpr char kReasonFileInTheWay[] = "同じ名前のファイルがあります";
inline constexpr char kReasonNoSuchPlace[] = "その場所（ドライブやネットワーク上の場所）が見つかりません";
inline constexpr char kReasonNotReady[] = "ドライブの準備ができていません";
inline constexpr char kReasonInUse[] = "ほかのプログラムが使用中です";
inline constexpr char kReasonIo[] = "ディスクの読み書きでエラーが起きました";
// Anything rarer: this text, the system's error number, the tail.
inline constexpr char kReasonOtherHead[] = "システムのエラーです（エラー番号 ";
inline constexpr char kReasonOtherTail[] = "）";

}  // namespace pelmoa::desktop_texts
