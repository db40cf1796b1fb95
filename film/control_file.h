// The control file "steuer.txt" of a picture folder: which frames, pauses and sounds an
// animation runs through, in order. Pure logic over the entries the folder load found; reading
// and writing the file is the animation's (frame_animation.*).
#pragma once

#include <QImage>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "support/codepage.h"

namespace radevir {

inline constexpr char kControlFileName[] = "steuer.txt";
// The timing line a new control file gets when the animation's delay is below kMinDelay_ms.
constexpr int kDefaultFrameDelay_ms = 200;
constexpr int kMinDelay_ms = 50;

// One entry of an animation: a picture (name and bitmap, shared by every entry naming the same
// picture), a timing line (an integer, no bitmap) or a sound (its full path, no bitmap).
struct FrameEntry {
    Bytes name;
    std::shared_ptr<const QImage> bitmap;
};

// An integer as the control file writes timings: optional blanks, an optional sign, digits,
// within 32 bits.
bool IsTimingLine(const Bytes& line);

struct AppliedControlFile {
    std::vector<FrameEntry> entries;         // in control-file order
    std::optional<int> lastPicture;          // index of the last picture entry placed
};

// Builds the animation from the control file's lines: a line naming (ignoring case) a loaded
// entry with a bitmap becomes that picture, an integer stays as a timing entry, any other line
// becomes `folder` + line when `fileExists` says that file exists; everything else is dropped.
AppliedControlFile ApplyControlFile(const std::vector<Bytes>& lines,
                                    const std::vector<FrameEntry>& loaded, const Bytes& folder,
                                    const std::function<bool(const Bytes& path)>& fileExists);

// The control file written for a folder without one: the names of the loaded entries in their
// sorted order, one timing line after the first name (`delay_ms` when it is kMinDelay_ms or more,
// else kDefaultFrameDelay_ms). Empty when nothing was loaded.
std::vector<Bytes> NewControlFile(const std::vector<FrameEntry>& sortedLoaded, int delay_ms);

// Sorts entries by name ignoring case (the order of a new control file).
void SortEntriesByName(std::vector<FrameEntry>& entries);

}  // namespace radevir
