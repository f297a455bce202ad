#pragma once

#include <QIcon>
#include <QPixmap>

// The program's own pictures: its icon and the title banner across the top of the window.
namespace app::artwork {

inline constexpr int kBannerWidth = 660;
inline constexpr int kBannerHeight = 139;

[[nodiscard]] QIcon programIcon();
[[nodiscard]] QPixmap banner(qreal devicePixelRatio);

} // namespace app::artwork
