#include "ui/memo_store.h"

#include <algorithm>
#include <cerrno>
#include <utility>

#include "storage/cp932.h"
#include "ui/messages.h"

namespace markola {

namespace {

// The hourglass for exactly as long as the file work takes, however it ends.
class BusyPointer {
public:
    explicit BusyPointer(MemoView& view) : view_(view) { view_.SetBusy(true); }
    ~BusyPointer() { view_.SetBusy(false); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    MemoView& view_;
};

// "U+00A0", "U+20BB7": the code by which a character is looked up.
QString CodeName(char32_t code) {
    return QStringLiteral("U+") + QString::number(code, 16).toUpper().rightJustified(4, u'0');
}

QString UnencodableMessage(const QString& text, qsizetype index) {
    const QStringView before = QStringView(text).first(index);
    const qsizetype lineBreak = before.lastIndexOf(u"\r\n");
    const qsizetype line = before.count(u"\r\n") + 1;
    // Every character in front of it is one the code page holds, none a surrogate pair.
    const qsizetype column = index - (lineBreak < 0 ? 0 : lineBreak + 2) + 1;
    // A stray byte of the file is drawn as an empty box, so the message names the byte.
    if (const std::optional<std::uint8_t> stray = cp932::StrayByte(text.at(index))) {
        return text::UnencodableByte(line, column, cp932::ByteName(*stray));
    }
    const bool pair = text.at(index).isHighSurrogate() && index + 1 < text.size() &&
                      text.at(index + 1).isLowSurrogate();
    const QString character = text.mid(index, pair ? 2 : 1);
    return text::UnencodableCharacter(line, column, character,
                                      CodeName(character.toUcs4().front()));
}

// A file name holding a line break or a tab shows as a blank in the name box and breaks
// the list into rows; no memo is saved under one.
bool HoldsControlCharacter(const QString& path) {
    return std::any_of(path.begin(), path.end(),
                       [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; });
}

}  // namespace

bool IsNoSpace(const WriteResult& result) {
    return !result.ok && (result.errorCode == ENOSPC || result.errorCode == EDQUOT);
}

QString WriteFailureReason(const WriteResult& result) {
    if (result.notRegularFile) {
        return text::kNotRegularFile;
    }
    switch (result.errorCode) {
        case ENOSPC:
        case EDQUOT:
            return text::kNoSpace;
        case EROFS:
            return text::kReadOnlyPlace;
        case EACCES:
        case EPERM:
            return text::kNotPermitted;
        case ENAMETOOLONG:
            return text::kNameTooLong;
        case ENOENT:
        case ENOTDIR:
            return text::kNoFolder;
        case EIO:
            return text::kDiskError;
        default:
            return result.errorText;
    }
}

MemoStore::MemoStore(MemoView& view, const EditorState& state, FileStore& files, MemoFolder folder,
                     MakeRoom makeRoom)
    : view_(view),
      state_(state),
      files_(files),
      folder_(std::move(folder)),
      makeRoom_(std::move(makeRoom)) {}

// The identity is taken before the read: a file replaced while it is read is then the
// file of that path all the same, and the content tells whether it changed.
LoadResult MemoStore::LoadMemo(const QString& path) {
    view_.Text().SetMemoText(QString());
    const bool inside = folder_.Holds(path);
    FileIdentity identity = inside ? files_.Identity(path) : FileIdentity{};
    std::optional<Shown> shown = inside ? ShowMemoFile(path) : std::nullopt;
    if (!shown) {
        KnownFile unread{.identity = std::move(identity),
                         .unreadable = inside && files_.Exists(path),
                         .content = std::nullopt};
        view_.ShowMessage(folder_.Shown(path) + text::kCannotOpenSuffix, Buttons::Ok,
                          MessageIcon::None);
        return {.onDisk = std::move(unread)};
    }
    return {.shown = true,
            .text = std::move(shown->text),
            .onDisk = {.identity = std::move(identity), .content = std::move(shown->content)}};
}

std::optional<MemoStore::Shown> MemoStore::ShowMemoFile(const QString& path) {
    const BusyPointer busy(view_);
    const std::optional<QByteArray> bytes = files_.ReadAll(path);
    if (!bytes) {
        return std::nullopt;
    }
    Shown shown{.text = cp932::Decode(*bytes), .content = DigestOf(*bytes)};
    view_.Text().SetMemoText(shown.text);
    return shown;
}

SaveResult MemoStore::SaveMemo(const QString& path) {
    if (!folder_.Holds(path) || HoldsControlCharacter(path)) {
        view_.ShowMessage(text::kUnsafeName, Buttons::Ok, MessageIcon::Exclamation);
        return {.outcome = SaveOutcome::Failed};
    }
    if (IsUnreadableOnDisk(path)) {
        view_.ShowMessage(text::NotOverwritingUnreadable(state_.MemoName), Buttons::Ok,
                          MessageIcon::Exclamation);
        return {.outcome = SaveOutcome::Failed};
    }
    const QString memo = view_.Text().MemoText();
    const cp932::Encoded encoded = cp932::Encode(memo);
    if (encoded.unencodableAt >= 0) {
        view_.ShowMessage(UnencodableMessage(memo, encoded.unencodableAt), Buttons::Ok,
                          MessageIcon::Exclamation);
        return {.outcome = SaveOutcome::Failed};
    }
    if (!ConfirmOverwrite(path) || !ConfirmChangedOnDisk(path)) {
        return {.outcome = SaveOutcome::Declined};
    }
    SaveResult saved = WriteMemo(path, encoded.bytes);
    saved.text = memo;
    return saved;
}

bool MemoStore::ConfirmOverwrite(const QString& path) {
    if (!state_.NameChanged || !FileExists(path)) {
        return true;
    }
    return view_.ShowMessage(text::OverwriteQuestion(state_.MemoName), Buttons::YesNo,
                             MessageIcon::None) == Answer::Yes;
}

// Asked when the file of the memo on screen holds other bytes than it was loaded with or
// last written with, or exists now and did not then. A file deleted since is not there to
// be overwritten: no question then. Under the memo's own name the file there is the memo's,
// whatever it is now: the folder may have moved or come back under another mount, another
// program may have saved by a rename or pointed a link elsewhere. Under a name typed since,
// the overwrite question has spoken for any other memo's file.
bool MemoStore::ConfirmChangedOnDisk(const QString& path) {
    const FileIdentity now = files_.Identity(path);
    const bool memosOwnFile = !state_.NameChanged || now.IsSameFileAs(state_.OnDisk.identity);
    if (!now.exists || !memosOwnFile || files_.DigestOfFile(path) == state_.OnDisk.content) {
        return true;
    }
    return view_.ShowMessage(text::ChangedOnDisk(state_.MemoName), Buttons::YesNoDefaultNo,
                             MessageIcon::Exclamation) == Answer::Yes;
}

// A file that was deleted meanwhile is no longer the one that could not be read.
bool MemoStore::IsUnreadableOnDisk(const QString& path) const {
    const FileIdentity now = files_.Identity(path);
    return state_.OnDisk.unreadable && now.exists && now.IsSameFileAs(state_.OnDisk.identity);
}

SaveResult MemoStore::WriteMemo(const QString& path, const QByteArray& bytes) {
    WriteResult result;
    {
        const BusyPointer busy(view_);
        result = files_.WriteAll(path, bytes);
        if (IsNoSpace(result) && makeRoom_ && makeRoom_()) {
            result = files_.WriteAll(path, bytes);
        }
    }
    SaveResult saved{.outcome = result.ok ? SaveOutcome::Saved : SaveOutcome::Failed};
    // A file this program replaced is not "changed by another program" at the next save.
    if (result.replaced) {
        saved.onDisk = KnownFile{.identity = files_.Identity(path), .content = DigestOf(bytes)};
    }
    if (!result.ok) {
        view_.ShowMessage(text::CannotSave(folder_.Shown(path), WriteFailureReason(result)),
                          Buttons::Ok, MessageIcon::Exclamation);
    }
    return saved;
}

bool MemoStore::FileExists(const QString& path) const {
    return files_.Exists(path);
}

QStringList MemoStore::ListMemos() {
    return files_.ListMemoNames(folder_.Path());
}

}  // namespace markola
