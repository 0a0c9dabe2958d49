#pragma once

#include <QString>
#include <cstddef>

// The texts MARKOLA shows to its user, word for word.
namespace markola::text {

inline const QString kApplicationTitle = QStringLiteral("MARKOLA");
inline const QString kCloseQuestion = QStringLiteral("変更されています。保存しますか？");
inline const QString kCloseQuestionTitle = QStringLiteral("変更されています。");
inline const QString kNewMemoName = QStringLiteral("新規メモ");
inline const QString kCannotOpenSuffix = QStringLiteral(" ﾌｧｲﾙを開けません。");
inline const QString kUnsafeName = QStringLiteral(
    "このメモの名前では保存できません。メモフォルダの外を指す名前（「..」や「/」を含む名前）や、"
    "改行・タブなどの制御文字を含む名前は使えません。別の名前を付けてください。");

// What a window command could not start: the memo folder in the file manager, a second
// instance of the program, the web site in the browser.
inline QString CannotOpenFolder(const QString& path) {
    return path + QStringLiteral(" ﾌｫﾙﾀﾞを開けません。");
}
inline QString CannotStartProgram(const QString& path) {
    return path + QStringLiteral(" を起動できません。");
}
inline QString CannotOpenAddress(const QString& address) {
    return address + QStringLiteral(" を開けません。");
}

// Why a memo could not be written, after its path.
inline QString CannotSave(const QString& path, const QString& reason) {
    return path + QStringLiteral(" を保存できませんでした。") + reason;
}
inline const QString kNoSpace = QStringLiteral("ディスクの空き容量が足りません。");
inline const QString kReadOnlyPlace = QStringLiteral("読み取り専用の場所です。");
inline const QString kNotPermitted = QStringLiteral("書き込みが許可されていません。");
inline const QString kNameTooLong = QStringLiteral("名前が長すぎます。");
inline const QString kNoFolder = QStringLiteral("保存先のフォルダがありません。");
inline const QString kDiskError = QStringLiteral("ディスクの読み書きに失敗しました。");
inline const QString kNotRegularFile = QStringLiteral("通常のファイルではありません。");

inline QString NotOverwritingUnreadable(const QString& name) {
    return QStringLiteral("「") + name +
           QStringLiteral(
               "」 は読み込めなかったため、上書き保存しません。別の名前で保存してください。");
}
inline QString OverwriteQuestion(const QString& name) {
    return QStringLiteral("「") + name +
           QStringLiteral("」 の名前は他のメモで使用されています。上書き保存しますか？");
}
inline QString ChangedOnDisk(const QString& name) {
    return QStringLiteral("「") + name +
           QStringLiteral("」はほかのプログラムで変更されています。上書き保存しますか？");
}
inline QString UnusableRecoveries(const QString& first, std::size_t count) {
    const QString others = count > 1 ? QStringLiteral("ほか %1 件").arg(count - 1) : QString();
    return first + QStringLiteral(" ") + others +
           QStringLiteral(
               "の保存されていない変更は、ロックファイルを開けないため確認できません。"
               "ロックファイル（.lock）を確かめてください。");
}
// Beside the window's title.
inline QString CannotKeepEdits(const QString& reason) {
    return QStringLiteral("変更のコピーを保存できません: ") + reason;
}
// On the standard error, when the memo folder is another program's for the moment.
inline QString StartingWithoutRecovery(const QString& folder) {
    return folder + QStringLiteral(
                        " をほかのプログラムが使用しているため、保存されていない変更の確認をせずに"
                        "起動します。\n");
}
inline QString OfferRecovery(const QString& name, std::size_t olderCopies = 0) {
    const QString memo = name.isEmpty() ? QStringLiteral("名前のないメモ")
                                        : QStringLiteral("「") + name + QStringLiteral("」");
    const QString older = olderCopies == 0 ? QString()
                                           : QStringLiteral(
                                                 "\n（このメモの古い変更がほかに %1 件あります。"
                                                 "いいえで、それらも破棄します。）")
                                                 .arg(olderCopies);
    return QStringLiteral("保存されていない") + memo +
           QStringLiteral("の変更が残っています。復元しますか？") + older;
}

// "保存できない文字が含まれています（<where>）。…", where the first such character stands.
inline QString Unsavable(const QString& where) {
    return QStringLiteral("保存できない文字が含まれています（") + where +
           QStringLiteral("）。この文字を削除するか置き換えてから保存してください。");
}
// The code names what a blank, a look-alike or the font's empty box does not.
inline QString UnencodableCharacter(qsizetype line, qsizetype column, const QString& character,
                                    const QString& code) {
    return Unsavable(
        QStringLiteral("%1 行目 %2 文字目の「%3」、%4").arg(line).arg(column).arg(character, code));
}
// A byte of the file that forms no character, by its value.
inline QString UnencodableByte(qsizetype line, qsizetype column, const QString& byte) {
    return Unsavable(QStringLiteral("%1 行目 %2 文字目の「%3」").arg(line).arg(column).arg(byte));
}

// The main window's menus, bar items and controls, as the screen and screen readers give them.
inline const QString kMenuFile = QStringLiteral("ﾌｧｲﾙ(&F)");
inline const QString kMenuNewFile = QStringLiteral("新規作成(&N)  Ctrl+N");
inline const QString kMenuSave = QStringLiteral("保存(&S)  Ctrl+S");
inline const QString kMenuReload = QStringLiteral("ﾘｽﾄの更新(&R)  Ctrl+R");
inline const QString kMenuEnd = QStringLiteral("終了(&X) Alt+F4");
inline const QString kMenuSettings = QStringLiteral("設定(&S)");
inline const QString kMenuOpenMemoFolder = QStringLiteral("ﾒﾓﾌｫﾙﾀﾞを開く(&M)");
inline const QString kMenuCheck = QStringLiteral("■");
inline const QString kMenuCheckTip = QStringLiteral("チェックの切り替え (Ctrl+←)");
inline const QString kMenuMemoUp = QStringLiteral("▲");
inline const QString kMenuMemoUpTip = QStringLiteral("行を上へ移動 (Ctrl+↑)");
inline const QString kMenuMemoDown = QStringLiteral("▼");
inline const QString kMenuMemoDownTip = QStringLiteral("行を下へ移動 (Ctrl+↓)");
inline const QString kMenuHelp = QStringLiteral("ﾍﾙﾌﾟ(&H)");
inline const QString kMenuFirst = QStringLiteral("はじめに(&H)");
inline const QString kMenuAbout = QStringLiteral("MARKOLAについて");
inline const QString kMemoNameBox = QStringLiteral("メモ名");
inline const QString kMemoTextBox = QStringLiteral("メモ");

// The About dialog.
inline const QString kAboutVersionBefore = QStringLiteral("ﾊﾞｰｼﾞｮﾝ ");
inline const QString kAboutBanner = QStringLiteral("MARKOLA のバナー画像");
inline const QString kAboutFrame = QStringLiteral("製品の説明");
inline const QString kAboutFrameDescription =
    QStringLiteral("製品の説明と最新情報のページを開くボタン");
inline const QString kAboutDescription =
    QStringLiteral("用件をマーク、優先順位も操作できる。メモ帳の決定版");
inline const QString kAboutNews = QStringLiteral("最新情報はこちら→");
inline const QString kAboutOk = QStringLiteral("O K");
inline const QString kAboutName = QStringLiteral("MARKOLA (マーコラ)");

}  // namespace markola::text
