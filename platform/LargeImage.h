#pragma once
// Images the size of a screen, in memory the kernel may back with huge pages.
// Touching fresh memory page by page is what makes a new full-screen buffer
// slow to fill the first time (several milliseconds per megabyte on some
// machines); in 2 MiB pages it costs a fraction of that.

#include <QImage>
#include <QSize>

namespace platform {

// A new image of `size` and `format`, its pixels not yet set, like
// QImage(size, format); null where that would be null.
QImage NewLargeImage(QSize size, QImage::Format format);

}  // namespace platform
