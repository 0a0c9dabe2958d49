#pragma once

#include <QString>

#include "storage/file_store.h"

namespace markola {

// The restore the next tick of the restore timer performs: put MemoName back into the combo, and
// with ResumeCombo also count the name as unchanged, since it is that of a memo just loaded.
enum class Resume { None, ResumeCombo, ResumeComboS };

// What the editor knows about the memo on screen, beyond the widgets themselves. Only the
// memo controller writes it.
struct EditorState {
    // The name the memo on screen is saved under when leaving it; it differs from the
    // combo text only while a choice from the list is being dealt with.
    QString MemoName;
    bool TextChanged = false;  // edited since the last load or save
    bool NameChanged = false;  // the combo text changed since the last load or save
    Resume ResumeMode = Resume::None;
    KnownFile OnDisk;  // the file the memo on screen came from or was last written to
};

}  // namespace markola
