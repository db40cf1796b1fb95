#include "film/frame_animation.h"

#include <QCoreApplication>
#include <QFile>
#include <QPainter>
#include <algorithm>

#include "film/frame_bitmap.h"
#include "graphics/picture_loader.h"
#include "sound/wave_component.h"
#include "support/file_helpers.h"
#include "support/native_files.h"
#include "support/program_environment.h"
#include "support/text_file.h"
#include "support/text_helpers.h"

namespace radevir {
namespace {

constexpr char kPictureExtensions[][5] = {".png", ".wmf", ".emf", ".bmp", ".jpg", ".gif"};
constexpr int kStripTiming_ms = 100;
constexpr int kMaxWorkSide_px = 4096;
constexpr qint64 kMaxPictureBytes = 64 * 1024 * 1024;
constexpr qint64 kMaxStripBytes = 16 * 1024 * 1024;
const TextReadLimit kControlFileLimit{1024 * 1024, 10000, false};

QString ExtensionOf(const QString& name) {
    const qsizetype dot = name.lastIndexOf('.');
    return dot < 0 ? QString() : name.mid(dot).toLower();
}

bool IsPictureName(const QString& name) {
    const QString ext = ExtensionOf(name);
    if (ext.size() <= 3) return false;
    return std::any_of(std::begin(kPictureExtensions), std::end(kPictureExtensions),
                       [&](const char* known) { return ext == QLatin1String(known); });
}

bool IsSoundName(const QString& name) { return ExtensionOf(name).startsWith(QLatin1String(".wav")); }

QByteArray ReadBounded(const QString& nativePath, qint64 maxBytes) {
    QFile file;
    if (!OpenNativeFile(file, nativePath) || file.size() > maxBytes) return {};
    return file.read(maxBytes);
}

QImage FilledImage(int width, int height, QColor colour) {
    QImage image(std::clamp(width, 0, kMaxWorkSide_px), std::clamp(height, 0, kMaxWorkSide_px),
                 QImage::Format_RGB32);
    if (!image.isNull()) image.fill(colour);
    return image;
}

}  // namespace

FrameAnimation::FrameAnimation(const ProgramEnvironment& env) : env_(env) { ResizeWorkBitmaps(); }

FrameAnimation::~FrameAnimation() { ClearFrames(); }

Bytes FrameAnimation::verzeichnis() const { return ExcludeTrailingBackslash(folder_); }

void FrameAnimation::ClearFrames() {
    stop_ = true;
    frameBitmaps_.clear();
    frameList_.reset();  // bitmaps shared by several entries go with their last entry
    // clearing an animation silences the sound it was playing
    if (wave_ && wave_->CurrentDevice() != kNoDevice) wave_->CloseCurrentDevice();
}

bool FrameAnimation::StopIfPlaying() {
    if (!playing_) return false;
    playing_ = false;
    stop_ = true;
    ClearFrames();
    return true;
}

void FrameAnimation::setHintergrundfarbe(QColor colour) {
    if (colour == background_) return;
    background_ = colour;
    ClearFirstWorkBitmap();
    ReloadWhenLoaded();
}

void FrameAnimation::setWidth(int value) {
    if (value == width_) return;
    width_ = value;
    ResizeWorkBitmaps();
    ReloadWhenLoaded();
}

void FrameAnimation::setHeight(int value) {
    if (value == height_) return;
    height_ = value;
    ResizeWorkBitmaps();
    ReloadWhenLoaded();
}

void FrameAnimation::setTransparent(bool value) {
    transparent_ = value;
    ClearFirstWorkBitmap();
}

void FrameAnimation::setVerzeichnis(const Bytes& value) {
    ClearFrames();
    const Bytes path = ExcludeTrailingBackslash(value);
    const QString native = path.empty() ? QString() : env_.NativePath(path);
    if (!native.isEmpty() && NativeIsFolder(native)) {
        folder_ = IncludeTrailingBackslash(path);
        source_ = Source::Folder;
        ClearFirstWorkBitmap();
        stop_ = true;
        LoadFolder();
    } else if (!native.isEmpty() && NativeIsFile(native)) {
        source_ = Source::StripFile;
        LoadStripFile(native, ExeNameParts(path).name + ExeNameParts(path).extension, false);
        folder_ = path;
    } else {
        folder_.clear();
        source_ = Source::None;
    }
}

void FrameAnimation::setVorschauverzeichnis(const Bytes& value) {
    ClearFrames();
    const Bytes path = ExcludeTrailingBackslash(value);
    const QString native = path.empty() ? QString() : env_.NativePath(path);
    if (!native.isEmpty() && NativeIsFolder(native)) {
        previewFolder_ = value;
        source_ = Source::Preview;
        ClearFirstWorkBitmap();
        LoadPreview();
    } else if (!native.isEmpty() && NativeIsFile(native)) {
        source_ = Source::PreviewStrip;
        LoadStripFile(native, ExeNameParts(path).name + ExeNameParts(path).extension, true);
        folder_ = path;
    } else {
        previewFolder_.clear();
        folder_.clear();
        source_ = Source::None;
    }
}

void FrameAnimation::ReloadWhenLoaded() {
    if (!frameList_) return;
    switch (source_) {
        case Source::Folder:
        case Source::StripFile: setVerzeichnis(Bytes(folder_)); break;
        case Source::Preview: setVorschauverzeichnis(Bytes(previewFolder_)); break;
        case Source::PreviewStrip: setVorschauverzeichnis(Bytes(folder_)); break;
        case Source::None: break;
    }
}

void FrameAnimation::ResizeWorkBitmaps() {
    // no margins around the frame in either work bitmap
    for (QImage& work : workBitmaps_) work = FilledImage(width_, height_, background_);
}

void FrameAnimation::ClearFirstWorkBitmap() {
    if (!workBitmaps_[0].isNull()) workBitmaps_[0].fill(background_);
}

void FrameAnimation::LetMessagesRun() {
    if (QCoreApplication::instance() != nullptr) QCoreApplication::processEvents();
}

void FrameAnimation::TakeWidthFromPicture(const QImage& bitmap) {
    if (!widthFromPicture_ || bitmap.width() == width_) return;
    width_ = bitmap.width();
    ResizeWorkBitmaps();
}

std::shared_ptr<const QImage> FrameAnimation::FrameFromFile(const QString& nativePath,
                                                            const QString& name) {
    if (!IsPictureName(name)) return nullptr;
    const Picture picture = Picture::FromBytes(ReadBounded(nativePath, kMaxPictureBytes));
    QImage bitmap = MakeFrameBitmap(picture, width_, height_, background_, border_);
    if (bitmap.isNull()) return nullptr;
    return std::make_shared<const QImage>(std::move(bitmap));
}

FrameAnimation::Found FrameAnimation::SearchFolder(bool previewOnly) {
    Found found;
    const QString nativeFolder = env_.NativePath(ExcludeTrailingBackslash(folder_));
    std::vector<FolderEntry> files = ListNativeFolder(nativeFolder);
    // the disk's own order differs between file systems; the frames come in name order
    std::sort(files.begin(), files.end(), [](const FolderEntry& a, const FolderEntry& b) {
        return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
    });
    const QString mask = FromCp1252(mask_);
    const int picturesWanted = widthFromPicture_ ? 2 : 1;
    int pictures = 0;
    for (const FolderEntry& file : files) {
        if (!file.isFile || !WildcardMatch(mask, file.name)) continue;
        const Bytes name = ToCp1252(file.name);
        if (auto bitmap = FrameFromFile(nativeFolder + '/' + file.name, file.name)) {
            if (frameBitmaps_.empty()) TakeWidthFromPicture(*bitmap);
            found.entries.push_back({name, bitmap});
            frameBitmaps_.push_back(bitmap);
            found.any = true;
            if (previewOnly && ++pictures >= picturesWanted) break;
        } else if (IsSoundName(file.name)) {
            found.entries.push_back({name, nullptr});
            found.any = true;
        }
    }
    SortEntriesByName(found.entries);
    return found;
}

void FrameAnimation::LoadFolder() {
    if (loading_) return;
    loading_ = true;
    LetMessagesRun();
    frameBitmaps_.clear();
    Found found = SearchFolder(false);
    const QString controlFile = env_.NativePath(folder_ + kControlFileName);
    std::vector<Bytes> lines;
    bool haveLines = false;
    if (NativeIsFile(controlFile)) {
        haveLines = ReadTextFileLines(controlFile, lines, kControlFileLimit);
    } else if (found.any) {
        lines = NewControlFile(found.entries, delay_ms_);
        WriteTextFileLines(controlFile, lines);  // a folder we may not write to still plays
        haveLines = true;
    }
    if (haveLines) {
        AppliedControlFile applied =
            ApplyControlFile(lines, found.entries, folder_, [this](const Bytes& path) {
                return NativeIsFile(env_.NativePath(path));
            });
        frameList_ = std::move(applied.entries);
        if (applied.lastPicture) lastPicture_ = *applied.lastPicture;
    }
    loading_ = false;
}

void FrameAnimation::LoadPreview() {
    if (loading_) return;
    loading_ = true;
    LetMessagesRun();
    frameBitmaps_.clear();
    const Bytes previewPath = IncludeTrailingBackslash(ExcludeTrailingBackslash(previewFolder_));
    const Bytes savedFolder = folder_;
    folder_ = previewPath;
    Found found = SearchFolder(true);
    folder_ = savedFolder;
    if (found.any) frameList_ = std::move(found.entries);
    loading_ = false;
    if (previewLoaded) previewLoaded();
}

void FrameAnimation::LoadStripFile(const QString& nativeFile, const Bytes& name, bool firstFrameOnly) {
    const QByteArray bytes = ReadBounded(nativeFile, kMaxStripBytes);
    std::vector<std::pair<Bytes, QImage>> pictures;
    const int frames = firstFrameOnly ? 1 : kStripFramesPerFile;
    for (int n = 0; n < frames; ++n) {
        // a frame that does not decode is left out
        if (std::optional<QImage> frame = DecodeStripFrame(bytes, n))
            pictures.emplace_back(name + ' ' + IntToText(n), std::move(*frame));
    }
    LoadPictureList(pictures);
}

void FrameAnimation::LoadPictureList(const std::vector<std::pair<Bytes, QImage>>& pictures) {
    ClearFrames();
    if (loading_) return;
    loading_ = true;
    LetMessagesRun();
    std::vector<FrameEntry> entries;
    for (const auto& [name, image] : pictures) {
        QImage bitmap = MakeFrameBitmap(Picture::FromImage(image), kStripFrameWidth_px,
                                        kStripFrameHeight_px, Qt::black, border_);
        if (bitmap.isNull()) continue;
        auto shared = std::make_shared<const QImage>(std::move(bitmap));
        if (frameBitmaps_.empty()) TakeWidthFromPicture(*shared);
        entries.push_back({name, shared});
        entries.push_back({IntToText(kStripTiming_ms), nullptr});
        frameBitmaps_.push_back(shared);
    }
    loading_ = false;
    if (!entries.empty()) frameList_ = std::move(entries);
}

}  // namespace radevir
