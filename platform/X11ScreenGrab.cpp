#include "platform/X11ScreenGrab.h"

#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <QGuiApplication>
#include <cstdlib>
#include <memory>
#include <utility>

namespace platform {

namespace {

// The root window of the first screen and whether its pixels are 32-bit
// words holding 24-bit colour, as QImage::Format_RGB32 reads them.
struct Root {
  xcb_window_t window = 0;
  bool rgb32 = false;
};

Root FindRoot(xcb_connection_t* connection) {
  const xcb_setup_t* setup = xcb_get_setup(connection);
  const xcb_screen_t* screen = xcb_setup_roots_iterator(setup).data;
  if (screen == nullptr) return Root{};
  bool thirtyTwoBits = false;
  for (auto format = xcb_setup_pixmap_formats_iterator(setup); format.rem > 0;
       xcb_format_next(&format)) {
    if (format.data->depth == screen->root_depth) thirtyTwoBits = format.data->bits_per_pixel == 32;
  }
  const bool littleEndian = setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST;
  return Root{screen->root, screen->root_depth == 24 && thirtyTwoBits &&
                                littleEndian == (Q_BYTE_ORDER == Q_LITTLE_ENDIAN)};
}

// A shared memory segment that the X server has attached for one request.
// It is marked for removal at once, so the kernel frees it when the last
// user detaches, even after a crash.
class SharedSegment {
 public:
  SharedSegment(xcb_connection_t* connection, size_t bytes) : connection_(connection) {
    const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (id < 0) return;
    void* memory = shmat(id, nullptr, 0);
    if (memory != reinterpret_cast<void*>(-1)) {
      memory_ = memory;
      segment_ = xcb_generate_id(connection);
      xcb_generic_error_t* error =
          xcb_request_check(connection, xcb_shm_attach_checked(connection, segment_, id, false));
      attached_ = error == nullptr;
      std::free(error);
    }
    shmctl(id, IPC_RMID, nullptr);
  }
  ~SharedSegment() {
    if (attached_) xcb_shm_detach(connection_, segment_);
    if (memory_ != nullptr) shmdt(memory_);
  }
  SharedSegment(const SharedSegment&) = delete;
  SharedSegment& operator=(const SharedSegment&) = delete;

  bool Usable() const { return attached_; }
  xcb_shm_seg_t Segment() const { return segment_; }
  // Our mapping of the memory, now the caller's to shmdt.
  uchar* TakeMemory() { return static_cast<uchar*>(std::exchange(memory_, nullptr)); }

 private:
  xcb_connection_t* connection_;
  void* memory_ = nullptr;
  xcb_shm_seg_t segment_ = 0;
  bool attached_ = false;
};

bool HasSharedMemory(xcb_connection_t* connection) {
  std::unique_ptr<xcb_shm_query_version_reply_t, decltype(&std::free)> version(
      xcb_shm_query_version_reply(connection, xcb_shm_query_version(connection), nullptr),
      &std::free);
  return version != nullptr;
}

}  // namespace

QImage GrabX11Screen(const QRect& area) {
  auto* x11 =
      qGuiApp == nullptr ? nullptr : qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  xcb_connection_t* connection = x11 == nullptr ? nullptr : x11->connection();
  if (connection == nullptr || area.isEmpty() || !HasSharedMemory(connection)) return QImage();
  const Root root = FindRoot(connection);
  if (!root.rgb32) return QImage();

  const size_t bytes = static_cast<size_t>(area.width()) * static_cast<size_t>(area.height()) * 4;
  SharedSegment shared(connection, bytes);
  if (!shared.Usable()) return QImage();
  std::unique_ptr<xcb_shm_get_image_reply_t, decltype(&std::free)> reply(
      xcb_shm_get_image_reply(
          connection,
          xcb_shm_get_image(connection, root.window, static_cast<int16_t>(area.x()),
                            static_cast<int16_t>(area.y()), static_cast<uint16_t>(area.width()),
                            static_cast<uint16_t>(area.height()), ~0u, XCB_IMAGE_FORMAT_Z_PIXMAP,
                            shared.Segment(), 0),
          nullptr),
      &std::free);
  if (reply == nullptr || reply->size < bytes) return QImage();
  // The picture keeps the shared memory: no copy. The unused top byte of
  // each pixel becomes the opaque alpha that Format_RGB32 holds.
  uchar* pixels = shared.TakeMemory();
  auto* words = reinterpret_cast<quint32*>(pixels);
  for (size_t k = 0; k < bytes / 4; ++k) words[k] |= 0xFF000000u;
  return QImage(
      pixels, area.width(), area.height(), area.width() * 4, QImage::Format_RGB32,
      [](void* memory) { shmdt(memory); }, pixels);
}

}  // namespace platform
