#include "windows/MainForm.h"

#include "desktop/Desktop.h"
#include "desktop/DesktopIdentity.h"
#include "desktop/OpenInDefaultHandler.h"
#include "rules/AppInfo.h"
#include "rules/DataFolder.h"
#include "rules/LauncherSession.h"
#include "rules/SafeFile.h"
#include "rules/SearchRules.h"
#include "windows/AccessibleRoles.h"
#include "windows/ControlTable.h"
#include "windows/EarlierSearches.h"
#include "windows/EnterKey.h"
#include "windows/HistoryList.h"
#include "windows/HistoryListBox.h"
#include "windows/InfoForm.h"
#include "windows/SearchBox.h"
#include "windows/SearchRecall.h"
#include "windows/TwipsLayout.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>

#include <algorithm>
#include <utility>

namespace Nimbrel
{

namespace
{

// Items move as themselves rather than as their text, so that a line whose
// bytes the text cannot show is written back unchanged.
void applyHistoryEdit(QListWidget &list, const SearchRules::HistoryEdit &edit, const QString &term)
{
    if (edit.moveToTopFrom >= 0)
        list.insertItem(0, list.takeItem(edit.moveToTopFrom));
    if (edit.removeAt >= 0)
        delete list.takeItem(edit.removeAt);
    if (edit.insertTerm)
        list.insertItem(0, makeHistoryItem(term));
}

QMessageBox::StandardButton askToSaveBeforeSwitching(QWidget *parent)
{
    MessageRequest request;
    request.parent = parent;
    request.title = MainForm::tr("Change List");
    request.text = MainForm::tr("The current list has chnaged.\n\n"
                                "Do you want to save it before changing to abother list ?");
    request.buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    request.defaultButton = QMessageBox::Yes;
    request.icon = QMessageBox::Question;
    return desktop().showMessage(request);
}

} // namespace

MainForm::MainForm(LauncherSession &session, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint), m_session(session)
{
    installAccessibleRoles();
    m_ui.setupUi(this);
    setUpControls();
    connectHandlers();
    load();
}

MainForm::~MainForm() = default;

void MainForm::setUpControls()
{
    setWindowIcon(QIcon(DesktopIdentity::iconPixmap(32)));

    // The list has no caption, so screen readers name it by what it holds.
    ControlTable::nameByCaptions(*this);
    m_ui.List_History->setAccessibleName(tr("Search history"));

    TwipsLayout::apply(this, MainFormUi::ClientTwips, m_ui.designedControls());

    // Tab reaches the selected option button only; the arrow keys move within
    // the group.
    for (QRadioButton *option : m_ui.Option_HistoryList) {
        option->setFocusPolicy(Qt::ClickFocus);
        option->installEventFilter(this);
        connect(option, &QRadioButton::toggled, option, [option](bool checked) {
            option->setFocusPolicy(checked ? Qt::StrongFocus : Qt::ClickFocus);
        });
    }

    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

void MainForm::connectHandlers()
{
    connect(m_ui.Command_Exit, &QPushButton::clicked, this, &MainForm::close);
    connect(m_ui.Command_OpenBrowser, &QPushButton::clicked, this, &MainForm::launchSearch);
    connect(m_ui.Command_OpenWikiMain, &QPushButton::clicked, this, &MainForm::openMainPage);
    connect(m_ui.Command_Help, &QPushButton::clicked, this, &MainForm::openInfoWindow);

    connect(m_ui.Text_SearchData, &QLineEdit::textChanged, this, &MainForm::followSearchText);
    connect(m_ui.Text_SearchData, &SearchBox::keyDown, this, &MainForm::launchOnEnter);
    connect(m_ui.Text_SearchData, &SearchBox::doubleClicked, m_ui.Text_SearchData,
            &QLineEdit::clear);

    // Selecting by mouse or keyboard picks the item; so does a click on the item
    // already selected, which the user expects to copy it again after editing.
    connect(m_ui.List_History, &QListWidget::itemSelectionChanged, this,
            &MainForm::copySelectedItem);
    connect(m_ui.List_History, &QListWidget::itemClicked, this, &MainForm::copySelectedItem);
    connect(m_ui.List_History, &QListWidget::itemDoubleClicked, this,
            &MainForm::searchSelectedItem);
    // The list's context menu searches and copies as a double-click and a click do.
    connect(m_ui.List_History, &HistoryListBox::searchRequested, this,
            &MainForm::searchSelectedItem);
    connect(m_ui.List_History, &HistoryListBox::copyToSearchBoxRequested, this,
            &MainForm::copySelectedItem);
    connect(m_ui.List_History, &HistoryListBox::itemRemoved, this, &MainForm::noteRemoval);
    connect(m_ui.List_History, &HistoryListBox::removalUndone, this, &MainForm::noteRemovalUndone);
    m_recall = new SearchRecall(*m_ui.Text_SearchData, *m_ui.List_History, this);
    EarlierSearches::attach(
        *m_ui.Text_SearchData,
        {[this] { return m_session.selectedList(); }, [this] { return m_ui.List_History->texts(); },
         [](qint16 list) { return DataFolder::historyFilePath(list); },
         [this] { return m_session.historyListMaxItems(); }, [this] { launchSearch(); }});

    // A click (mouse, Space, or an arrow key moving the selection) on any of
    // the three, the one already selected included: choosing the current list
    // again reloads it from its file.
    for (qint16 index = 0; index < qint16(m_ui.Option_HistoryList.size()); ++index)
        connect(m_ui.Option_HistoryList[index], &QRadioButton::clicked, this,
                [this, index] { chooseList(index); });
}

// ---------------------------------------------------------------- start-up and shut-down

void MainForm::load()
{
    //: The program's title, its version and the mark of its edition
    setWindowTitle(
        tr("%1, v%2%3")
            .arg(AppInfo::ApplicationTitle, m_session.appVersion(), AppInfo::CaptionSuffix));

    const QString dataFolder = DataFolder::path();
    if (reportIfFailed(this, DataFolder::ensureExists(dataFolder))) {
        reportIfFailed(this, DataFolder::migrateOldHistoryFile(dataFolder));
        // What saves killed half-way left behind would pile up without end.
        for (qint16 list = 1; list <= 3; ++list)
            SafeFile::removeLeftoverTemporaries(DataFolder::historyFilePath(list));
    }

    m_session.readSettings();
    m_ui.Option_HistoryList[m_session.selectedList() - 1]->setChecked(true);
    reportIfFailed(this, m_session.storeDefaultsOnFirstRun());

    loadHistoryList(m_session, *m_ui.List_History);
    m_loaded = true;
}

void MainForm::focusSearchBoxIfListEmpty()
{
    if (m_ui.List_History->count() == 0)
        m_ui.Text_SearchData->setFocus();
}

void MainForm::saveChanges()
{
    // The user can do nothing about a failed write now, but should know the
    // value will not be there next time.
    for (const Failure &failure : m_session.writeBackSettings())
        reportFailure(this, failure);
    if (m_session.historyModified())
        saveHistoryList(m_session, *m_ui.List_History);
}

void MainForm::bringToFront()
{
    m_closingAfterHandOff = false;
    setWindowState(windowState() & ~Qt::WindowMinimized);
    QWidget *window = QApplication::activeModalWidget();
    if (!window)
        window = this;
    window->show();
    window->raise();
    window->activateWindow();
    if (window == this)
        m_ui.Text_SearchData->setFocus();
}

bool MainForm::searchFromOutside(const QString &term)
{
    const QString unsent = m_ui.Text_SearchData->text();
    m_ui.Text_SearchData->replaceAsTyped(term);
    if (m_ui.Text_SearchData->text().isEmpty()) {
        m_ui.Text_SearchData->setText(unsent);
        return false;
    }
    launchSearch();
    m_recall->setAside(unsent);
    return true;
}

void MainForm::unload()
{
    if (std::exchange(m_unloaded, true))
        return;
    saveChanges();
}

bool MainForm::event(QEvent *event)
{
    const bool handled = QWidget::event(event);
    // Only the first activation: coming back from another program or from a
    // message box must not take the focus away from where the user left it.
    if (event->type() == QEvent::WindowActivate && !m_activatedOnce) {
        m_activatedOnce = true;
        focusSearchBoxIfListEmpty();
    }
    return handled;
}

bool MainForm::eventFilter(QObject *watched, QEvent *event)
{
    // An arrow key moves the choice by clicking the next button and only then
    // gives that button the focus, after the click handler has put the focus
    // into the search box. The key is handled here so that the search box
    // can have the last word.
    const bool isOption = std::find(m_ui.Option_HistoryList.begin(), m_ui.Option_HistoryList.end(),
                                    watched) != m_ui.Option_HistoryList.end();
    if (isOption && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent *>(event)->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Left:
        case Qt::Key_Right: {
            const int choicesBefore = m_listChoices;
            watched->event(event);
            if (m_listChoices != choicesBefore)
                m_ui.Text_SearchData->setFocus();
            return true;
        }
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MainForm::keyPressEvent(QKeyEvent *event)
{
    // The search box takes its own Enter and never passes it on.
    if (isEnterKey(*event) && pressFocusedButton(*this)) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void MainForm::closeEvent(QCloseEvent *event)
{
    unload();
    event->accept();
}

// ---------------------------------------------------------------- search launch and search box

void MainForm::launchSearch()
{
    const QString term = m_ui.Text_SearchData->text();
    const bool moveToTop = m_session.moveItemToTop().on;
    const SearchRules::HistoryEdit edit = SearchRules::historyEditForLaunch(
        m_ui.List_History->texts(), term, m_session.historyListMaxItems(), moveToTop);
    bool handedOff = false;
    {
        // Moving or dropping the selected item is not the user picking another
        // one, which would put a different term into the box before it is read.
        const QSignalBlocker quiet(m_ui.List_History);
        applyHistoryEdit(*m_ui.List_History, edit, term);
        if (edit.changesList()) {
            m_session.setHistoryModified(true);
            m_session.recordChange({HistoryChange::Kind::Search, term, moveToTop});
        }

        handedOff = !openInDefaultHandler(m_session.wikiPath() + m_ui.Text_SearchData->text(),
                                          QString(), ShowCommand::Normal);

        m_ui.List_History->clearSelection();
        m_ui.List_History->setCurrentItem(nullptr);
    }
    m_ui.Text_SearchData->clear();
    m_ui.Text_SearchData->setFocus();
    // When nothing could be opened the user has just been told so; the
    // window stays for another try.
    if (handedOff && m_session.closeWhenBrowserOpen().on)
        closeAfterHandOff();
}

void MainForm::openMainPage()
{
    const bool handedOff =
        !openInDefaultHandler(m_session.wikiPath(), QString(), ShowCommand::Normal);
    m_ui.Text_SearchData->setFocus();
    if (handedOff && m_session.closeWhenBrowserOpen().on)
        closeAfterHandOff();
}

void MainForm::closeAfterHandOff()
{
    // The handler may still give up after it started. The window waits for
    // its verdict out of sight, so that a failure is told over the window,
    // which then stays for another try.
    m_closingAfterHandOff = true;
    desktop().whenHandOffsSettled(this, [this](bool failed) {
        if (!std::exchange(m_closingAfterHandOff, false))
            return; // brought back meanwhile
        if (failed) {
            bringToFront();
            return;
        }
        const bool hidden = isHidden();
        close();
        // The close of a hidden window does not count as the last window
        // closing; the application is told instead.
        if (hidden && QGuiApplication::quitOnLastWindowClosed())
            QCoreApplication::quit();
    });
    if (m_closingAfterHandOff)
        hide();
}

void MainForm::followSearchText()
{
    const QString text = m_ui.Text_SearchData->text();
    if (const int blanks = SearchRules::leadingSpaces(text)) {
        // The caret stays beside the characters it stood beside.
        const int caret = m_ui.Text_SearchData->cursorPosition();
        m_ui.Text_SearchData->setText(text.mid(blanks));
        m_ui.Text_SearchData->setCursorPosition(std::max(0, caret - blanks));
    }
    m_ui.Command_OpenBrowser->setEnabled(!m_ui.Text_SearchData->text().isEmpty());
}

void MainForm::launchOnEnter(int key)
{
    // Enter launches whatever the box holds, even with the launch button off.
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        launchSearch();
}

// ---------------------------------------------------------------- history list

MainForm::Picked MainForm::pickSelectedItem()
{
    const QList<QListWidgetItem *> selected = m_ui.List_History->selectedItems();
    if (selected.isEmpty())
        return Picked::Nothing;
    const QString item = selected.front()->text();
    // A dash item cannot be searched, so it empties the box and leaves the
    // launch button off.
    if (SearchRules::isDashItem(item)) {
        m_ui.Text_SearchData->clear();
        m_ui.Command_OpenBrowser->setEnabled(false);
        return Picked::DashItem;
    }
    m_ui.Text_SearchData->setText(item);
    return Picked::Term;
}

void MainForm::copySelectedItem()
{
    pickSelectedItem();
}

void MainForm::searchSelectedItem()
{
    // The launch reads the box after its change rule, so an item with leading
    // blanks is searched without them.
    if (pickSelectedItem() == Picked::Term)
        launchSearch();
}

void MainForm::noteRemoval()
{
    m_changedBeforeRemoval = m_session.historyModified();
    m_session.setHistoryModified(true);
    m_session.recordChange({HistoryChange::Kind::Removal, m_ui.List_History->removedText()});
}

void MainForm::noteRemovalUndone()
{
    // The list is as it was before the removal. Unless it has been saved since,
    // without the item, it differs from its file exactly as much as it did then,
    // so a removal taken back costs no prompt and no rewrite of the file.
    m_session.setHistoryModified(m_session.historyModified() ? m_changedBeforeRemoval : true);
    m_session.forgetLastRemoval();
}

void MainForm::chooseList(qint16 index)
{
    if (!m_loaded)
        return;
    ++m_listChoices;

    if (m_session.historyModified()) {
        const QMessageBox::StandardButton answer = askToSaveBeforeSwitching(this);
        // Closing the box counts as Cancel; so does a save that failed (the user
        // has been told why), since switching would throw the unsaved list away.
        const bool keepCurrentList =
            (answer != QMessageBox::Yes && answer != QMessageBox::No) ||
            (answer == QMessageBox::Yes && !saveHistoryList(m_session, *m_ui.List_History));
        if (keepCurrentList) {
            m_loaded = false;
            m_ui.Option_HistoryList[m_session.selectedList() - 1]->setChecked(true);
            m_ui.Text_SearchData->setFocus();
            QCoreApplication::processEvents();
            m_loaded = true;
            return;
        }
    }

    m_session.chooseList(qint16(index + 1));
    m_ui.List_History->clear();
    // The old list's changes are gone with its items: should the new file prove
    // unreadable, the empty box must not be saved over it at exit.
    m_session.setHistoryModified(false);
    loadHistoryList(m_session, *m_ui.List_History);
    m_ui.Text_SearchData->setFocus();
}

// ---------------------------------------------------------------- Info & Settings

void MainForm::openInfoWindow()
{
    // Built afresh at every opening, so it always starts from its design and
    // the current state.
    InfoForm form(m_session, *m_ui.List_History, this);
    form.exec();
    // With the Info window gone, the window manager may leave the focus with
    // no window at all; it comes back to the button that opened the Info
    // window, or to the search box when the list was emptied there.
    activateWindow();
    m_ui.Command_Help->setFocus();
    focusSearchBoxIfListEmpty();
}

} // namespace Nimbrel
