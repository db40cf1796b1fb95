// Framebuffers in memory the kernel may back with transparent huge pages.
#include <sys/mman.h>

#include <cstdint>

#include "console/console_host.h"

namespace radevir {

namespace {

constexpr std::size_t kLargePage = std::size_t{2} << 20;
constexpr std::size_t kSmallPage = 4096;

struct Mapping {
    void* start = nullptr;
    std::size_t length = 0;
};

void Unmap(void* info) {
    auto* mapping = static_cast<Mapping*>(info);
    munmap(mapping->start, mapping->length);
    delete mapping;
}

// An anonymous mapping of at least `bytes`, starting on a large-page boundary, with large pages
// asked for; nullptr when the system gives none.
Mapping* MapAligned(std::size_t bytes) {
    const std::size_t length = (bytes + kSmallPage - 1) / kSmallPage * kSmallPage;
    void* raw = mmap(nullptr, length + kLargePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) return nullptr;
    const auto base = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (base + kLargePage - 1) & ~(kLargePage - 1);
    // give back what lies before and after the aligned range
    if (aligned > base) munmap(raw, aligned - base);
    const std::uintptr_t end = aligned + length;
    const std::uintptr_t rawEnd = base + length + kLargePage;
    if (rawEnd > end) munmap(reinterpret_cast<void*>(end), rawEnd - end);
    madvise(reinterpret_cast<void*>(aligned), length, MADV_HUGEPAGE);  // a hint; refusal is fine
    return new Mapping{reinterpret_cast<void*>(aligned), length};
}

QImage WithDots(QImage image) {
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    image.fill(Qt::black);
    return image;
}

}  // namespace

QImage MakeFramebuffer(QSize size) {
    const QSize s = size.expandedTo(QSize(1, 1));
    const std::size_t bytesPerLine = static_cast<std::size_t>(s.width()) * 4;
    const std::size_t bytes = bytesPerLine * static_cast<std::size_t>(s.height());
    // small pictures (and sizes no mapping holds) come from the ordinary heap
    if (bytes >= kLargePage && bytesPerLine <= static_cast<std::size_t>(INT32_MAX)) {
        if (Mapping* mapping = MapAligned(bytes)) {
            QImage image(static_cast<uchar*>(mapping->start), s.width(), s.height(),
                         static_cast<qsizetype>(bytesPerLine), QImage::Format_RGB32, Unmap, mapping);
            if (!image.isNull()) return WithDots(std::move(image));
            Unmap(mapping);
        }
    }
    return WithDots(QImage(s, QImage::Format_RGB32));
}

}  // namespace radevir
