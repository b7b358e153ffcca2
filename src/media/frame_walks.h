#pragma once
// The frame indexes of MP3 files, one per file whatever path reaches it: every movie and decoder
// of a file shares its slot, and the file's frames are walked at most once, on a worker, when a
// decoder first needs them (a clip about to sound, a seek, an export), not when a clip is laid.

#include <QString>
#include <cstdint>

#include "media/mp3_frames.h"

namespace media {

class Doorbell;

// The slot of the MP3 file at path, shared with every movie and decoder of the same file (hard
// links of one file too) while one holds it; a new one when none does or the file has changed
// since (its size or time of change). nullptr when the file cannot be looked at.
Mp3FrameIndexSlotRef frameIndexSlotFor(const QString& path, int rate);

// Any thread but the mixer's and the tick: the slot's file is walked on a worker, unless its
// index is there or its walk was asked for already. Does nothing for a slot without a file.
void walkFramesLater(const Mp3FrameIndexSlotRef& slot);
// The same, with the walk put ahead of those still waiting: something is held up until it is done.
void walkFramesFirst(const Mp3FrameIndexSlotRef& slot);
// Rung after each walk, wherever it was made (nullptr: none). The decode pool's workers pass over
// a stream whose start waits for a walk and are woken here to take it up again.
void setFramesWalkedBell(Doorbell* bell);

// Worker threads only: the slot's index, made by walking the file here unless its walk is under
// way elsewhere, which is waited for. nullptr when the file cannot be walked (or the slot has no
// file and no index).
Mp3FrameIndexRef frameIndexNow(const Mp3FrameIndexSlotRef& slot);

namespace testing {
// Walks the worker has made so far.
int64_t frameWalks();
// Waits (a few seconds at most) until no walk is queued or under way; false on timeout.
bool waitForFrameWalks();
}  // namespace testing

}  // namespace media
