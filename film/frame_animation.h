// The frame animation component: loads the pictures (and sounds) of a picture folder or a strip
// file into frame bitmaps of one size on a background colour, in the order of the folder's
// control file "steuer.txt" (written when the folder has none). The program sizes, stops and
// clears its animations; drawing the frames is left to whoever wants to play them.
#pragma once

#include <QColor>
#include <QImage>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "film/control_file.h"
#include "support/codepage.h"

namespace radevir {

class ProgramEnvironment;
class WaveComponent;

class FrameAnimation {
public:
    explicit FrameAnimation(const ProgramEnvironment& env);
    ~FrameAnimation();
    FrameAnimation(const FrameAnimation&) = delete;
    FrameAnimation& operator=(const FrameAnimation&) = delete;

    // --- properties ---------------------------------------------------------------------------
    int repeats() const { return repeats_; }
    void setRepeats(int value) { repeats_ = value; }
    int lastpicture() const { return lastPicture_; }
    bool stop() const { return stop_; }
    // Writing it, with any value, stops the animation.
    void setStop(bool) { stop_ = true; }
    bool bilddelay() const { return bildDelay_; }
    void setBilddelay(bool value) { bildDelay_ = value; }
    int delay() const { return delay_ms_; }
    void setDelay(int ms) { delay_ms_ = ms; }
    // The image the frames are meant for, and the position on it; not owned.
    QImage* canvas() const { return canvas_; }
    void setCanvas(QImage* canvas) { canvas_ = canvas; }
    int left() const { return left_; }
    void setLeft(int value) { left_ = value; }
    int top() const { return top_; }
    void setTop(int value) { top_ = value; }
    QColor hintergrundfarbe() const { return background_; }
    void setHintergrundfarbe(QColor colour);
    // Picture folder, or a strip file (a data path). Writing it loads it.
    // Without the trailing backslash.
    Bytes verzeichnis() const;
    void setVerzeichnis(const Bytes& value);
    const Bytes& vorschauverzeichnis() const { return previewFolder_; }
    void setVorschauverzeichnis(const Bytes& value);
    const Bytes& maske() const { return mask_; }
    void setMaske(const Bytes& value) { mask_ = value; }
    int width() const { return width_; }
    void setWidth(int value);
    int height() const { return height_; }
    void setHeight(int value);
    bool transparent() const { return transparent_; }
    void setTransparent(bool value);

    // --- state --------------------------------------------------------------------------------
    // Empty when nothing is loaded.
    const std::optional<std::vector<FrameEntry>>& FrameList() const { return frameList_; }
    const std::vector<std::shared_ptr<const QImage>>& FrameBitmaps() const { return frameBitmaps_; }
    const QImage& WorkBitmap(int index) const { return workBitmaps_[index == 0 ? 0 : 1]; }
    // Extra pixels on the width and height of every frame bitmap.
    int Border() const { return border_; }
    void SetBorder(int pixels) { border_ = pixels; }
    // The frame width follows the first picture loaded.
    bool WidthFromPicture() const { return widthFromPicture_; }
    void SetWidthFromPicture(bool on) { widthFromPicture_ = on; }
    bool Loading() const { return loading_; }
    bool Playing() const { return playing_; }
    // The wave component whose current sound stops with the frames; not owned.
    void SetWave(WaveComponent* wave) { wave_ = wave; }
    // Called after a preview folder was loaded.
    std::function<void()> previewLoaded;

    // Stops, drops every frame and silences the current sound.
    void ClearFrames();
    // The graphics layer's return to text mode: a playing animation is stopped and cleared;
    // true when one was playing.
    bool StopIfPlaying();

private:
    enum class Source { None, Folder, StripFile, Preview, PreviewStrip };
    struct Found {
        std::vector<FrameEntry> entries;  // pictures and sounds, sorted by name
        bool any = false;
    };
    Found SearchFolder(bool previewOnly);
    void LoadFolder();
    void LoadPreview();
    void LoadPictureList(const std::vector<std::pair<Bytes, QImage>>& pictures);
    void LoadStripFile(const QString& nativeFile, const Bytes& name, bool firstFrameOnly);
    // A frame bitmap at the current size and colour; none for a file that is no picture.
    std::shared_ptr<const QImage> FrameFromFile(const QString& nativePath, const QString& name);
    void TakeWidthFromPicture(const QImage& bitmap);
    void ResizeWorkBitmaps();
    void ClearFirstWorkBitmap();
    void ReloadWhenLoaded();
    void LetMessagesRun();

    const ProgramEnvironment& env_;
    int repeats_ = 1;
    int lastPicture_ = 0;
    bool stop_ = true;
    bool bildDelay_ = false;
    int delay_ms_ = 0;
    QImage* canvas_ = nullptr;
    int left_ = 0;
    int top_ = 0;
    QColor background_ = Qt::black;
    Bytes folder_;  // with a trailing backslash when it names a folder
    Source source_ = Source::None;
    Bytes previewFolder_;
    Bytes mask_ = "*.*";
    int width_ = 48;
    int height_ = 48;
    bool transparent_ = true;

    std::optional<std::vector<FrameEntry>> frameList_;
    std::vector<std::shared_ptr<const QImage>> frameBitmaps_;
    QImage workBitmaps_[2];
    int border_ = 2;
    bool widthFromPicture_ = false;
    bool loading_ = false;
    bool playing_ = false;
    WaveComponent* wave_ = nullptr;
};

}  // namespace radevir
