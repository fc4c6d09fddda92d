#pragma once

// Texts the viewer shows, exactly as the program words them.

namespace pelmoa::viewer_texts {

inline constexpr char kFrameCaption[] = "画像の表示";

}  // namespace pelmoa::viewer_texts
