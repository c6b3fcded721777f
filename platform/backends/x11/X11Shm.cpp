// The shared-memory (or plain) image of a native window.
#include "platform/backends/x11/X11Shm.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <bit>
#include <cstdlib>
#include <cstring>

X11Image::X11Image(Display* display, Visual* visual, int depth, int width, int height, Transport wanted)
    : m_display(display), m_width(width < 1 ? 1 : width), m_height(height < 1 ? 1 : height)
{
    if (wanted == Transport::SharedMemory && XShmQueryExtension(m_display) && CreateShared(visual, depth))
        m_shared = true;
    else
        CreatePlain(visual, depth);
    if (!m_image)
        return;
    const bool littleEndian = std::endian::native == std::endian::little;
    m_direct = m_image->bits_per_pixel == 32 && visual->red_mask == 0xFF0000 && visual->green_mask == 0xFF00 &&
               visual->blue_mask == 0xFF && (m_image->byte_order == LSBFirst) == littleEndian;
    const unsigned long masks[3]{visual->red_mask, visual->green_mask, visual->blue_mask};
    for (int i = 0; i < 3; ++i)
        m_shift[i] = masks[i] ? std::countr_zero(masks[i]) : 0;
}

X11Image::~X11Image()
{
    if (!m_image)
        return;
    if (m_shared) {
        XShmDetach(m_display, &m_segment);
        XSync(m_display, False);
        m_image->data = nullptr;
        XDestroyImage(m_image);
        shmdt(m_segment.shmaddr);
    } else {
        std::free(m_image->data);
        m_image->data = nullptr;
        XDestroyImage(m_image);
    }
}

bool X11Image::CreateShared(Visual* visual, int depth)
{
    XImage* image = XShmCreateImage(m_display, visual, static_cast<unsigned>(depth), ZPixmap, nullptr, &m_segment,
                                    static_cast<unsigned>(m_width), static_cast<unsigned>(m_height));
    if (!image)
        return false;
    const size_t bytes = static_cast<size_t>(image->bytes_per_line) * static_cast<size_t>(image->height);
    m_segment.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (m_segment.shmid < 0) {
        XDestroyImage(image);
        return false;
    }
    m_segment.shmaddr = static_cast<char*>(shmat(m_segment.shmid, nullptr, 0));
    if (m_segment.shmaddr == reinterpret_cast<char*>(-1)) {
        shmctl(m_segment.shmid, IPC_RMID, nullptr);
        XDestroyImage(image);
        return false;
    }
    image->data = m_segment.shmaddr;
    m_segment.readOnly = False;
    // A remote server, or one that may not read our memory, refuses the attach with an error;
    // the round trip tells before anything is pushed.
    const unsigned long errorsBefore = X11Errors::Count();
    const Bool attached = XShmAttach(m_display, &m_segment);
    XSync(m_display, False);
    // Marked for removal now: the segment goes away once both sides have let go of it, even if
    // this process dies.
    shmctl(m_segment.shmid, IPC_RMID, nullptr);
    if (!attached || X11Errors::Count() != errorsBefore) {
        image->data = nullptr;
        XDestroyImage(image);
        shmdt(m_segment.shmaddr);
        m_segment = XShmSegmentInfo{};
        return false;
    }
    m_image = image;
    return true;
}

bool X11Image::CreatePlain(Visual* visual, int depth)
{
    XImage* image = XCreateImage(m_display, visual, static_cast<unsigned>(depth), ZPixmap, 0, nullptr,
                                 static_cast<unsigned>(m_width), static_cast<unsigned>(m_height), 32, 0);
    if (!image)
        return false;
    image->data = static_cast<char*>(std::calloc(static_cast<size_t>(image->bytes_per_line), static_cast<size_t>(m_height)));
    if (!image->data) {
        XDestroyImage(image);
        return false;
    }
    m_image = image;
    return true;
}

void X11Image::WaitForServer()
{
    if (m_inFlight) {
        XSync(m_display, False);
        m_inFlight = false;
    }
}

void X11Image::CopyFrom(const uint8_t* src, int srcStride, const uint8_t* overlay, int overlayStride, int x, int y,
                        int width, int height)
{
    if (!m_image)
        return;
    WaitForServer();
    if (x < 0 || y < 0 || width <= 0 || height <= 0 || x + width > m_width || y + height > m_height)
        return;
    for (int row = 0; row < height; ++row) {
        const auto* s = reinterpret_cast<const uint32_t*>(src + static_cast<size_t>(y + row) * srcStride) + x;
        const uint32_t* o =
            overlay ? reinterpret_cast<const uint32_t*>(overlay + static_cast<size_t>(row) * overlayStride) : nullptr;
        if (m_direct) {
            auto* d = reinterpret_cast<uint32_t*>(m_image->data + static_cast<size_t>(y + row) * m_image->bytes_per_line) + x;
            if (o) {
                for (int i = 0; i < width; ++i)
                    d[i] = (s[i] ^ o[i]) & 0xFFFFFF;
            } else {
                std::memcpy(d, s, static_cast<size_t>(width) * 4);
            }
            continue;
        }
        // Another visual: each pixel through its channel masks (slow, and rare on today's
        // servers, which are all 24-bit true colour).
        for (int i = 0; i < width; ++i) {
            const uint32_t p = o ? (s[i] ^ o[i]) : s[i];
            const unsigned long pixel = (static_cast<unsigned long>((p >> 16) & 0xFF) << m_shift[0]) |
                                        (static_cast<unsigned long>((p >> 8) & 0xFF) << m_shift[1]) |
                                        (static_cast<unsigned long>(p & 0xFF) << m_shift[2]);
            XPutPixel(m_image, x + i, y + row, pixel);
        }
    }
}

void X11Image::Put(Drawable drawable, GC gc, int x, int y, int width, int height)
{
    if (!m_image || width <= 0 || height <= 0)
        return;
    // Small updates (a caret, a button) travel in the request itself: no round trip is owed
    // before the image is written again, which matters when many small areas are shown in a row.
    constexpr int kSharedFromPixels = 128 * 128;
    if (m_shared && width * height >= kSharedFromPixels) {
        XShmPutImage(m_display, drawable, gc, m_image, x, y, x, y, static_cast<unsigned>(width),
                     static_cast<unsigned>(height), False);
        m_inFlight = true;
    } else {
        XPutImage(m_display, drawable, gc, m_image, x, y, x, y, static_cast<unsigned>(width),
                  static_cast<unsigned>(height));
    }
}
