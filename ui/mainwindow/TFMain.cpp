#include "ui/mainwindow/TFMain.h"

#include "app/Captions.h"
#include "session/Language.h"
#include "ui/about/ProgramUpdateCheck.h"
#include "ui/chipform/TChForm.h"
#include "ui/compareview/CompareView.h"
#include "ui/hexview/HexView.h"
#include "ui/mainwindow/ChipFormBridge.h"
#include "ui/mainwindow/Icons.h"
#include "ui/mainwindow/LogPanel.h"
#include "ui/mainwindow/QtTranslation.h"
#include "ui/mainwindow/StatusBar.h"
#include "ui/regs/TFRegs.h"

#include "ProgramVersion.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolBar>
#include <QWidgetAction>
#include <QWindow>
#include <algorithm>

namespace {
constexpr int ClientWidth = 954;
constexpr int ClientHeight = 476;

// Where a window of `size` that asks for `wanted` goes: inside the free area of the screen that
// holds that point, or of the primary screen when none does (a saved position from a screen that
// is gone, or a damaged settings file), as far as the window fits.
QPoint OnAScreen(QPoint wanted, QSize size)
{
    const QScreen* screen = QGuiApplication::screenAt(wanted);
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return wanted;
    const QRect area = screen->availableGeometry();
    auto clamp = [](int value, int low, qint64 high) {
        return int(std::max<qint64>(low, std::min<qint64>(value, high)));
    };
    return {clamp(wanted.x(), area.left(), qint64(area.right()) + 1 - size.width()),
            clamp(wanted.y(), area.top(), qint64(area.bottom()) + 1 - size.height())};
}
} // namespace

TFMain::TFMain(StartupOptions options, QWidget* parent) : QMainWindow(parent), control(*this, std::move(options))
{
    setObjectName(QStringLiteral("FMain"));
    setWindowTitle(QStringLiteral("Vespera version ") + QLatin1String(kProgramVersion));
    setWindowFlags(Qt::Window | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowCloseButtonHint);
    QFont font = this->font();
    font.setPointSize(8);
    setFont(font);

    buildMenus();
    buildToolBars();
    buildClientArea();
    connectCommands();
    // The design's size is the smallest; a larger window gives its room to the log and the hex view.
    setMinimumSize(ClientWidth, ClientHeight + menuBar()->sizeHint().height());
    resize(minimumSize());
    qApp->installEventFilter(this);

    QApplication::setWindowIcon(ProgramIcon()); // the window and every dialog
    control.FormCreate();
    setWindowTitle(LocalizedCaption("Vespera version ", "Vespera, версия ") + QLatin1String(kProgramVersion));
    applyToolHints();
    applySearchTexts();
    UseQtTranslation(CurrentLanguage());
    hexView->languageChanged();
    compareView->languageChanged();
    log->languageChanged();
    chipFormBridge = std::make_unique<ChipFormBridge>(control, this);
    updates = std::make_unique<ProgramUpdateCheck>(this, control);
}

TFMain::~TFMain()
{
    qApp->removeEventFilter(this);
    control.FormDestroy();
    updates.reset(); // before the controller it offers itself to
}

QAction* TFMain::action(ComponentName name, const QString& caption)
{
    return remember(new QAction(caption.isEmpty() ? DesignCaption(name) : caption, this), name);
}

QMenu* TFMain::menu(QMenu* parent, ComponentName name)
{
    QMenu* m = parent ? parent->addMenu(DesignCaption(name)) : menuBar()->addMenu(DesignCaption(name));
    return remember(m, name);
}

QAction* TFMain::radio(QMenu* parentMenu, QActionGroup* group, ComponentName name, int tag)
{
    QAction* a = action(name);
    a->setCheckable(true);
    a->setActionGroup(group);
    a->setData(tag);
    parentMenu->addAction(a);
    return a;
}

// --- MainView ---

namespace {
// What stands for a component in the menus: an action itself, or a menu's own item.
QAction* MenuItemOf(QObject* object)
{
    if (auto* a = qobject_cast<QAction*>(object)) return a;
    if (auto* m = qobject_cast<QMenu*>(object)) return m->menuAction();
    return nullptr;
}
} // namespace

void TFMain::setEnabled(ComponentName name, bool enabled)
{
    QObject* object = component(name);
    if (QAction* item = MenuItemOf(object))
        item->setEnabled(enabled);
    else if (auto* w = qobject_cast<QWidget*>(object))
        w->setEnabled(enabled);
}

void TFMain::setVisible(ComponentName name, bool visible)
{
    QObject* object = component(name);
    auto* widget = qobject_cast<QWidget*>(object);
    if (QAction* item = MenuItemOf(object))
        item->setVisible(visible);
    else if (QAction* placed = toolBarAction(widget))
        placed->setVisible(visible); // a tool bar overrides the visibility of the widgets it holds
    else if (widget)
        widget->setVisible(visible);
}

void TFMain::setItems(ComponentName name, const QStringList& items)
{
    if (auto* box = qobject_cast<QComboBox*>(component(name))) {
        const QSignalBlocker quiet(box); // refilling is no choice of the user's
        box->clear();
        box->addItems(items);
        box->setCurrentIndex(0);
    }
}

QAction* TFMain::toolBarAction(QWidget* widget)
{
    auto* bar = widget ? qobject_cast<QToolBar*>(widget->parentWidget()) : nullptr;
    if (bar)
        for (QAction* a : bar->actions())
            if (bar->widgetForAction(a) == widget) return a;
    return nullptr;
}

void TFMain::setChecked(ComponentName name, bool checked)
{
    if (auto* a = qobject_cast<QAction*>(component(name))) a->setChecked(checked);
}

bool TFMain::isChecked(ComponentName name) const
{
    auto* a = qobject_cast<QAction*>(component(name));
    return a && a->isChecked();
}

void TFMain::setCaption(ComponentName name, const QString& caption)
{
    QObject* object = component(name);
    if (auto* a = qobject_cast<QAction*>(object))
        a->setText(caption);
    else if (auto* m = qobject_cast<QMenu*>(object))
        m->setTitle(caption);
    else if (auto* w = qobject_cast<QWidget*>(object))
        w->setToolTip(caption); // widgets carry their caption as a hint (the hex view)
}

void TFMain::appendLog(const QString& text, LogColour colour)
{
    log->appendEntry(text, colour);
}

void TFMain::focusLog()
{
    log->setFocus();
}

void TFMain::repaintStatusBar(const StatusBarState& state)
{
    status->show(state);
}

void TFMain::moveWindow(int left, int top)
{
    move(OnAScreen(QPoint(left, top), frameGeometry().size()));
}

int TFMain::windowLeft() const
{
    return x();
}

int TFMain::windowTop() const
{
    return y();
}

bool TFMain::isShowing() const
{
    return isVisible();
}

void TFMain::raiseWindow()
{
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

bool TFMain::closeWindow()
{
    return close();
}

void TFMain::setProgressMaximum(int maximum)
{
    status->progressBar()->setMaximum(maximum);
}

void TFMain::setProgressPosition(int position)
{
    status->progressBar()->setValue(position);
}

int TFMain::progressPosition() const
{
    return status->progressBar()->value();
}

void TFMain::setEditorReadOnly(bool readOnly)
{
    hexView->setReadOnly(readOnly);
}

void TFMain::showDifferences(const DiffList& differences)
{
    compareView->UpdateCompareGrid(&differences);
}

void TFMain::hideDifferences()
{
    // The differences are no longer shown: the whole panel goes, its close button with it.
    if (!compareView->isHidden())
        compareView->BitBtnClick();
    else
        compareView->HideCompareGrid();
}

void TFMain::showError(const QString& text, const QString& caption)
{
    QMessageBox::critical(this, caption, text);
}

void TFMain::showStatusRegisters()
{
    // A new dialog for each opening, so its rows always match the selected chip.
    Session& session = control.session();
    TFRegs dialog(
        session.document().StatusShadow, session.chip().statusRegisters,
        RegsPorts{[this] { return control.ReadStatusIntoShadow(); }, [this] { control.WriteStatusFromShadow(); }},
        this);
    dialog.exec();
}

// Each opening builds the dialog anew: its editor is hidden and no editor mode is chosen.
void TFMain::showChipList()
{
    TChForm dialog(chipFormBridge->context(), this);
    dialog.exec();
}

void TFMain::showMessage(const QString& text)
{
    QMessageBox::information(this, QStringLiteral("Vespera"), text);
}

void TFMain::showWarning(const QString& text, const QString& caption)
{
    QMessageBox::warning(this, caption, text);
}

bool TFMain::askYesNo(const QString& text, const QString& caption)
{
    return QMessageBox::warning(this, caption, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) ==
           QMessageBox::Yes;
}

// Questions whose Yes destroys data say so: Enter or a hasty Space then answers No.
Answer TFMain::ask(const Prompt& prompt)
{
    QMessageBox box(QMessageBox::Warning, prompt.caption, prompt.text, QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(prompt.defaultYes ? QMessageBox::Yes : QMessageBox::No);
    QAbstractButton* other =
        prompt.otherChoice.isEmpty() ? nullptr : box.addButton(prompt.otherChoice, QMessageBox::AcceptRole);
    const int answer = box.exec();
    if (other && box.clickedButton() == other) return Answer::Other;
    return answer == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

MainView::SaveAnswer TFMain::askSaveChanges(const QString& text, const QString& caption)
{
    const auto answer = QMessageBox::warning(
        this, caption, text, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    return answer == QMessageBox::Save      ? SaveAnswer::Save
           : answer == QMessageBox::Discard ? SaveAnswer::Discard
                                            : SaveAnswer::Cancel;
}

// --- Life of the window ---

void TFMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (shown) return;
    shown = true;
    // The first showing loads the database and opens the adapter once the window is on screen.
    QTimer::singleShot(0, this, [this] { control.FormShow(); });
}

bool TFMain::eventFilter(QObject* watched, QEvent* event)
{
    // Like a key preview: every key reaches the window's own system window before the focused
    // control, whichever control has the focus, so Esc is seen there exactly once.
    if (event->type() == QEvent::KeyRelease && watched == windowHandle()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && !key->isAutoRepeat()) control.FormKeyUp(27);
    }
    return QMainWindow::eventFilter(watched, event);
}

void TFMain::MmChipSelect2Click()
{
    control.session().catalogue().ChipFilter.signatureMode = false; // opened from the menu: the whole list
    showChipList();
}

void TFMain::closeEvent(QCloseEvent* event)
{
    // Once agreed to, the close stands; while its question is open, another close request waits.
    if (closed || closing) {
        event->setAccepted(closed);
        return;
    }
    closing = true;
    closed = control.FormCloseQuery();
    closing = false;
    event->setAccepted(closed);
}
