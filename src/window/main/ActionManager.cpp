#include "window/main/ActionManager.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <array>

namespace glowline {

namespace {

using K = QKeySequence;
using Command = ActionManager::Command;

} // namespace

ActionManager::ActionManager(QMenuBar *bar, const QStringList &paletteNames, QObject *parent)
    : QObject(parent)
{
    enum Menu
    {
        File,
        Edit,
        Colour,
        View,
        Generate,
        Play,
        Help,
    };
    std::array<QMenu *, 7> menus{};
    menus[File] = bar->addMenu(QStringLiteral("&File"));
    menus[Edit] = bar->addMenu(QStringLiteral("&Edit"));

    const auto add = [&](Menu menu, Command command, const char *text, const char *name,
                         const QList<K> &keys) {
        QAction *action = menus[menu]->addAction(QString::fromLatin1(text));
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcuts(keys);
        connect(action, &QAction::triggered, this, [this, command] { emit triggered(command); });
        m_actions[command] = action;
    };
    add(File, Command::New, "&New", "actNew", {K(K::New)});
    add(File, Command::Load, "&Load...", "actLoad", {K(K::Open)});
    add(File, Command::Save, "&Save", "actSave", {K(K::Save)});
    add(File, Command::SaveAs, "Save &As...", "actSaveAs", {K(Qt::CTRL | Qt::SHIFT | Qt::Key_S)});
    menus[File]->addSeparator();
    add(File, Command::Send, "Sen&d", "actSend", {K(Qt::CTRL | Qt::Key_U)});
    add(File, Command::ProgrammerSettings, "P&rogrammer Settings...", "actProgrammerSettings", {});
    add(File, Command::ExportPicture, "Export &Picture...", "actExportPicture", {});
    menus[File]->addSeparator();
    add(File, Command::Exit, "E&xit", "actExit", {K(Qt::CTRL | Qt::Key_Q)});

    add(Edit, Command::Undo, "&Undo", "actUndo", {K(Qt::CTRL | Qt::Key_Z)});
    add(Edit, Command::Redo, "&Redo", "actRedo",
        {K(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), K(Qt::CTRL | Qt::Key_Y)});
    menus[Edit]->addSeparator();
    add(Edit, Command::AddLine, "&Add Line", "actAddLine", {K(Qt::CTRL | Qt::SHIFT | Qt::Key_A)});
    // Duplicate and Delete Lines have the keys: on one line they do the same.
    add(Edit, Command::CopyLine, "&Copy Line", "actCopyLine", {});
    add(Edit, Command::DeleteLine, "&Delete Line", "actDeleteLine", {});
    add(Edit, Command::InsertAbove, "Insert A&bove", "actInsertAbove",
        {K(Qt::CTRL | Qt::SHIFT | Qt::Key_I)});
    add(Edit, Command::InsertBelow, "&Insert Below", "actInsertBelow", {K(Qt::CTRL | Qt::Key_I)});
    menus[Edit]->addSeparator();
    add(Edit, Command::Fill, "&Fill", "actFill", {K(Qt::CTRL | Qt::Key_F)});
    add(Edit, Command::Pipette, "&Pipette", "actPipette", {K(Qt::CTRL | Qt::Key_P)});
    menus[Edit]->addSeparator();

    const auto addRange = [&](Command command, const char *text, const char *name,
                              const QList<K> &keys) {
        add(Edit, command, text, name, keys);
        m_rangeActions.append(m_actions[command]);
    };
    addRange(Command::Copy, "Cop&y", "actCopy", {K(Qt::CTRL | Qt::Key_C)});
    addRange(Command::Cut, "Cu&t", "actCut", {K(Qt::CTRL | Qt::Key_X)});
    addRange(Command::Paste, "Pa&ste", "actPaste", {K(Qt::CTRL | Qt::Key_V)});
    addRange(Command::PasteOver, "Paste O&ver", "actPasteOver",
             {K(Qt::CTRL | Qt::SHIFT | Qt::Key_V)});
    addRange(Command::Duplicate, "Duplicat&e", "actDuplicate", {K(Qt::CTRL | Qt::Key_D)});
    addRange(Command::DeleteLines, "Delete Li&nes", "actDeleteLines",
             {K(Qt::CTRL | Qt::Key_Delete)});
    menus[Edit]->addSeparator();
    m_rangeActions.append(nullptr);
    addRange(Command::MoveUp, "&Move Up", "actMoveUp", {K(Qt::ALT | Qt::Key_Up)});
    addRange(Command::MoveDown, "Move Do&wn", "actMoveDown", {K(Qt::ALT | Qt::Key_Down)});
    addRange(Command::Reverse, "Reverse &Lines", "actReverse", {K(Qt::CTRL | Qt::Key_R)});
    addRange(Command::SetDuration, "Set Durati&on...", "actSetDuration", {K(Qt::CTRL | Qt::Key_T)});
    addRange(Command::ScaleDurations, "Scale Durations...", "actScaleDurations",
             {K(Qt::CTRL | Qt::SHIFT | Qt::Key_T)});
    menus[Edit]->addSeparator();
    add(Edit, Command::SelectAll, "Select All", "actSelectAll", {K(Qt::CTRL | Qt::Key_A)});
    QMenu *extend = menus[Edit]->addMenu(QStringLiteral("E&xtend Selection"));
    menus[Edit] = extend;
    add(Edit, Command::ExtendUp, "&Up", "actExtendUp", {K(Qt::SHIFT | Qt::Key_Up)});
    add(Edit, Command::ExtendDown, "&Down", "actExtendDown", {K(Qt::SHIFT | Qt::Key_Down)});
    add(Edit, Command::ExtendPageUp, "Page U&p", "actExtendPageUp",
        {K(Qt::SHIFT | Qt::Key_PageUp)});
    add(Edit, Command::ExtendPageDown, "Page Dow&n", "actExtendPageDown",
        {K(Qt::SHIFT | Qt::Key_PageDown)});

    // The palette and the LED targets are labels that take no focus; these
    // reach them from the keyboard.
    menus[Colour] = bar->addMenu(QStringLiteral("&Colour"));
    QMenu *choose = menus[Colour]->addMenu(QStringLiteral("&Active Colour"));
    QMenu *change = menus[Colour]->addMenu(QStringLiteral("&Edit Swatch"));
    for (int i = 0; i < paletteNames.size(); ++i) {
        QAction *pick = choose->addAction(paletteNames[i]);
        pick->setObjectName(QStringLiteral("actColour(%1)").arg(i));
        connect(pick, &QAction::triggered, this, [this, i] { emit activeColourChosen(i); });
        QAction *editSwatch =
            change->addAction(QStringLiteral("Swatch %1 (%2)...").arg(i).arg(paletteNames[i]));
        editSwatch->setObjectName(QStringLiteral("actEditColour(%1)").arg(i));
        connect(editSwatch, &QAction::triggered, this, [this, i] { emit swatchEditChosen(i); });
    }
    QMenu *paint = menus[Colour]->addMenu(QStringLiteral("&Paint LED"));
    for (int c = 0; c < 11; ++c) {
        QAction *led = paint->addAction(QStringLiteral("LED %1").arg(c));
        led->setObjectName(QStringLiteral("actLed(%1)").arg(c));
        connect(led, &QAction::triggered, this, [this, c] { emit paintLedChosen(c); });
    }

    menus[View] = bar->addMenu(QStringLiteral("&View"));
    add(View, Command::ShowMap, "Sequence &Map", "actSequenceMap", {K(Qt::Key_F8)});
    add(View, Command::ScaleByDuration, "Scale by &Duration", "actScaleByDuration", {});
    for (Command command : {Command::ShowMap, Command::ScaleByDuration})
        action(command)->setCheckable(true);
    action(Command::ShowMap)->setChecked(true);

    menus[Generate] = bar->addMenu(QStringLiteral("&Generate"));
    add(Generate, Command::InsertFade, "Insert &Fade...", "actInsertFade",
        {K(Qt::CTRL | Qt::SHIFT | Qt::Key_F)});
    add(Generate, Command::Blend, "&Blend Selection", "actBlend", {K(Qt::CTRL | Qt::Key_B)});
    add(Generate, Command::Gradient, "&Gradient Across LEDs", "actGradient",
        {K(Qt::CTRL | Qt::Key_G)});
    add(Generate, Command::RotateLeft, "Rotate &Left", "actRotateLeft",
        {K(Qt::CTRL | Qt::Key_Left)});
    add(Generate, Command::RotateRight, "Rotate &Right", "actRotateRight",
        {K(Qt::CTRL | Qt::Key_Right)});
    add(Generate, Command::Mirror, "&Mirror", "actMirror", {K(Qt::CTRL | Qt::Key_M)});
    menus[Generate]->addSeparator();
    add(Generate, Command::Chase, "&Chase...", "actChase", {});
    add(Generate, Command::Rainbow, "R&ainbow...", "actRainbow", {});
    add(Generate, Command::Sparkle, "&Sparkle...", "actSparkle", {});

    menus[Play] = bar->addMenu(QStringLiteral("&Play"));
    add(Play, Command::Test, "&Test", "actTest", {K(Qt::Key_F5)});

    menus[Help] = bar->addMenu(QStringLiteral("&Help"));
    add(Help, Command::About, "&About Glowline", "actAbout", {});
}

void ActionManager::setHistoryAvailable(bool canUndo, bool canRedo)
{
    action(Command::Undo)->setEnabled(canUndo);
    action(Command::Redo)->setEnabled(canRedo);
}

void ActionManager::setPlaying(bool playing)
{
    action(Command::Test)->setText(playing ? QStringLiteral("&Stop") : QStringLiteral("&Test"));
}

} // namespace glowline
