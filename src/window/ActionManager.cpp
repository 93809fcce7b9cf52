#include "window/ActionManager.h"

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
        Play,
        Help,
    };
    std::array<QMenu *, 5> menus{};
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
    menus[File]->addSeparator();
    add(File, Command::Exit, "E&xit", "actExit", {K(Qt::CTRL | Qt::Key_Q)});

    add(Edit, Command::Undo, "&Undo", "actUndo", {K(Qt::CTRL | Qt::Key_Z)});
    add(Edit, Command::Redo, "&Redo", "actRedo",
        {K(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), K(Qt::CTRL | Qt::Key_Y)});
    menus[Edit]->addSeparator();
    add(Edit, Command::AddLine, "&Add Line", "actAddLine", {K(Qt::CTRL | Qt::SHIFT | Qt::Key_A)});
    add(Edit, Command::CopyLine, "&Copy Line", "actCopyLine", {K(Qt::CTRL | Qt::Key_D)});
    add(Edit, Command::DeleteLine, "&Delete Line", "actDeleteLine", {K(Qt::CTRL | Qt::Key_Delete)});
    add(Edit, Command::InsertAbove, "Insert A&bove", "actInsertAbove",
        {K(Qt::CTRL | Qt::SHIFT | Qt::Key_I)});
    add(Edit, Command::InsertBelow, "&Insert Below", "actInsertBelow", {K(Qt::CTRL | Qt::Key_I)});
    menus[Edit]->addSeparator();
    add(Edit, Command::Fill, "&Fill", "actFill", {K(Qt::CTRL | Qt::Key_F)});
    add(Edit, Command::Pipette, "&Pipette", "actPipette", {K(Qt::CTRL | Qt::Key_P)});

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
