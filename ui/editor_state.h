#pragma once

#include <QString>

#include "storage/file_store.h"

namespace markola {

inline const QString kResumeCombo = QStringLiteral("ResumeCombo");
inline const QString kResumeComboS = QStringLiteral("ResumeComboS");

// What the editor knows about the memo on screen, beyond the widgets themselves.
struct EditorState {
    // The name the memo on screen is saved under when leaving it; it differs from the
    // combo text only while a choice from the list is being dealt with.
    QString MemoName;
    bool TextChanged = false;  // edited since the last load or save
    bool NameChanged = false;  // the combo text changed since the last load or save
    QString ResumeMode;        // the restore the next Timer1 tick performs, or empty
    KnownFile OnDisk;          // the file the memo on screen came from or was last written to
};

}  // namespace markola
