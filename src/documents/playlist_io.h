#pragma once
// Between the playlist text and the lanes: one lane's records out, one record in as a clip.

#include <QByteArray>
#include <QString>
#include <vector>

#include "lanes/dragpic.h"

class Window1;

namespace documents {

enum class RecordLoad {
    NotARecord,   // the header, an empty line or other text
    Damaged,      // starts like a record but cannot be used
    MissingFile,  // a sound record whose media file is gone (or is no regular file)
    NoPicture,    // the clip picture could not be made (already reported by the picture maker)
    Loaded,
};

// Makes the clip of one line (without its end) on its lane, at the window's zoom and scroll.
RecordLoad loadRecord(Window1& w, const QByteArray& line);

// One lane's records at the window's zoom and scroll; "" and *error set when a clip cannot be
// written.
QByteArray laneRecords(const Window1& w, const std::vector<DragPicRef>& mPics, QString* error);

}  // namespace documents
