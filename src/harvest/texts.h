#pragma once

// The run's own words, exactly as the user sees them.

namespace pelmoa::texts {

inline constexpr char kStatusFetchingPage[] = "HTMLファイルの取得中";
inline constexpr char kStatusAnalysingPage[] = "ページ情報の解析中";
inline constexpr char kStatusCollectingImages[] = "画像情報を取得中";
inline constexpr char kStatusDownloadingPrefix[] = "画像のダウンロード中 全";
inline constexpr char kStatusDownloadingSuffix[] = "画像";
inline constexpr char kStatusErrorPart[] = "画像   Error:";
// The last status text of a run in which images failed: 全N画像中 K画像を保存できませんでした.
inline constexpr char kStatusFailedPrefix[] = "全";
inline constexpr char kStatusFailedMiddle[] = "画像中 ";
inline constexpr char kStatusFailedSuffix[] = "画像を保存できませんでした";
// After the count text's error part, or after 画像 when nothing failed: pictures under the
// minimum side that were not stored.
inline constexpr char kStatusLeftOutPart[] = "   除外:";
// The last status text of a run that left M pictures out and stored every other one:
// 全N画像中 M画像を小さいため除外しました.
inline constexpr char kStatusLeftOutSuffix[] = "画像を小さいため除外しました";

inline constexpr char kTitleInputError[] = "指定エラー";
inline constexpr char kMessagePageUnreadable[] = "指定のHTMLファイルは存在しないか、参照できません";
inline constexpr char kMessageNoImages[] = "指定のURLには画像が存在しません";

}  // namespace pelmoa::texts
