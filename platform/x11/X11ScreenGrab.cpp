#include "platform/x11/X11ScreenGrab.h"

#include <sys/ipc.h>
#include <sys/mman.h>
#include <sys/shm.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <QGuiApplication>
#include <cstdlib>
#include <memory>
#include <utility>

#include "platform/x11/ToolkitX11.h"
#include "platform/x11/XImagePixels.h"

namespace platform {

namespace {

// The root window of the first screen and whether its pixels are 32-bit
// words holding 24-bit colour, as QImage::Format_RGB32 reads them.
struct Root {
  xcb_window_t window = 0;
  bool rgb32 = false;
};

Root FindRoot(xcb_connection_t* connection) {
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
  if (screen == nullptr) return Root{};
  return Root{screen->root, DepthHoldsRgb32(connection, screen->root_depth)};
}

bool HasSharedMemory(xcb_connection_t* connection) {
  std::unique_ptr<xcb_shm_query_version_reply_t, decltype(&std::free)> version(
      xcb_shm_query_version_reply(connection, xcb_shm_query_version(connection), nullptr),
      &std::free);
  return version != nullptr;
}

}  // namespace

// A shared memory segment that the X server has attached for one request.
// It is marked for removal at once, so the kernel frees it when the last
// user detaches, even after a crash.
class SharedSegment {
 public:
  SharedSegment(xcb_connection_t* connection, size_t bytes) : FConnection(connection) {
    const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (id < 0) return;
    void* memory = shmat(id, nullptr, 0);
    if (memory != reinterpret_cast<void*>(-1)) {
      FMemory = memory;
      FSegment = xcb_generate_id(connection);
      xcb_generic_error_t* error =
          xcb_request_check(connection, xcb_shm_attach_checked(connection, FSegment, id, false));
      FAttached = error == nullptr;
      std::free(error);
    }
    shmctl(id, IPC_RMID, nullptr);
  }
  ~SharedSegment() {
    if (FAttached) xcb_shm_detach(FConnection, FSegment);
    if (FMemory != nullptr) shmdt(FMemory);
  }
  SharedSegment(const SharedSegment&) = delete;
  SharedSegment& operator=(const SharedSegment&) = delete;

  bool Usable() const { return FAttached; }
  xcb_shm_seg_t Segment() const { return FSegment; }
  // The server's side is gone with its connection: only our mapping is left.
  void Forget() { FAttached = false; }
  // Our mapping of the memory, now the caller's to shmdt.
  uchar* TakeMemory() { return static_cast<uchar*>(std::exchange(FMemory, nullptr)); }

 private:
  xcb_connection_t* FConnection;
  void* FMemory = nullptr;
  xcb_shm_seg_t FSegment = 0;
  bool FAttached = false;
};

X11ScreenGrab::X11ScreenGrab(xcb_connection_t* connection, std::unique_ptr<SharedSegment> shared,
                             QSize size, unsigned int sequence)
    : FConnection(connection), FShared(std::move(shared)), FSize(size), FSequence(sequence) {}

X11ScreenGrab::~X11ScreenGrab() {
  // Without the toolkit the connection is gone, and the server with it has
  // let go of the segment.
  if (qGuiApp == nullptr) {
    if (FShared) FShared->Forget();
    return;
  }
  if (FSequence != 0) xcb_discard_reply(FConnection, FSequence);
}

std::unique_ptr<X11ScreenGrab> X11ScreenGrab::Start(const QRect& area) {
  xcb_connection_t* connection = ToolkitXcbConnection();
  if (connection == nullptr || area.isEmpty() || !HasSharedMemory(connection)) return nullptr;
  const Root root = FindRoot(connection);
  if (!root.rgb32) return nullptr;

  const size_t bytes = static_cast<size_t>(area.width()) * static_cast<size_t>(area.height()) * 4;
  auto shared = std::make_unique<SharedSegment>(connection, bytes);
  if (!shared->Usable()) return nullptr;
  const xcb_shm_get_image_cookie_t cookie = xcb_shm_get_image(
      connection, root.window, static_cast<int16_t>(area.x()), static_cast<int16_t>(area.y()),
      static_cast<uint16_t>(area.width()), static_cast<uint16_t>(area.height()), ~0u,
      XCB_IMAGE_FORMAT_Z_PIXMAP, shared->Segment(), 0);
  // Sent now, so that the server copies while we go on.
  xcb_flush(connection);
  return std::unique_ptr<X11ScreenGrab>(
      new X11ScreenGrab(connection, std::move(shared), area.size(), cookie.sequence));
}

QImage X11ScreenGrab::Take() {
  if (FSequence == 0 || !FShared) return QImage();
  xcb_shm_get_image_cookie_t cookie{};
  cookie.sequence = std::exchange(FSequence, 0u);
  std::unique_ptr<xcb_shm_get_image_reply_t, decltype(&std::free)> reply(
      xcb_shm_get_image_reply(FConnection, cookie, nullptr), &std::free);
  const size_t bytes = static_cast<size_t>(FSize.width()) * static_cast<size_t>(FSize.height()) * 4;
  if (reply == nullptr || reply->size < bytes) return QImage();
  // The picture keeps the shared memory: no copy. The unused top byte of
  // each pixel becomes the opaque alpha that Format_RGB32 holds.
  uchar* pixels = FShared->TakeMemory();
  FShared.reset();
#ifdef MADV_POPULATE_WRITE
  // Mapped in one go rather than page by page as the loop below reaches them.
  madvise(pixels, bytes, MADV_POPULATE_WRITE);
#endif
  MakeOpaque(reinterpret_cast<uint32_t*>(pixels), bytes / 4);
  return QImage(
      pixels, FSize.width(), FSize.height(), FSize.width() * 4, QImage::Format_RGB32,
      [](void* memory) { shmdt(memory); }, pixels);
}

QImage GrabX11Screen(const QRect& area) {
  const std::unique_ptr<X11ScreenGrab> grab = X11ScreenGrab::Start(area);
  return grab ? grab->Take() : QImage();
}

}  // namespace platform
