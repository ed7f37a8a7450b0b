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
#include "windows/Caption.h"
#include "windows/EarlierSearches.h"
#include "windows/EnterKey.h"
#include "windows/HistoryList.h"
#include "windows/HistoryListBox.h"
#include "windows/IndicatorStyle.h"
#include "windows/InfoForm.h"
#include "windows/SearchBox.h"
#include "windows/SearchRecall.h"
#include "windows/TwipsLayout.h"
#include "windows/WindowFont.h"
#include "windows/WrappingButton.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
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
    request.title = QStringLiteral("Change List");
    request.text = QStringLiteral("The current list has chnaged.\n\n"
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
    buildDesign();
    connectHandlers();
    Form_Load();
}

MainForm::~MainForm() = default;

void MainForm::buildDesign()
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Form1"));
    setWindowIcon(QIcon(DesktopIdentity::iconPixmap(32)));
    setFont(WindowFont::forWindow(font()));

    Text_SearchData = new SearchBox(this);
    List_History = new HistoryListBox(this);
    List_History->setSelectionMode(QAbstractItemView::SingleSelection);
    List_History->setUniformItemSizes(true);
    Label_SearchData = new QLabel(QStringLiteral("Search Nimbrel for:"), this);
    Label_SearchData->setBuddy(Text_SearchData);
    Command_OpenBrowser = new QPushButton(QStringLiteral("Open Nimbrel Search"), this);
    Command_OpenBrowser->setEnabled(false);
    Command_Exit = new QPushButton(QStringLiteral("Exit"), this);
    Command_Help = new QPushButton(QStringLiteral("Info && Settings"), this);
    Command_OpenWikiMain = new WrappingButton(QStringLiteral("Open Nimbrel Main Page"), this);
    for (int i = 0; i < 3; ++i) {
        Option_HistoryList[i] =
            new QRadioButton(QStringLiteral("History List ") + QString::number(i + 1), this);
        Option_HistoryList[i]->setStyle(IndicatorStyle::shared());
    }

    const struct {
        QWidget *widget;
        const char *name;
    } names[] = {
        {Text_SearchData, "Text_SearchData"},
        {List_History, "List_History"},
        {Label_SearchData, "Label_SearchData"},
        {Command_OpenBrowser, "Command_OpenBrowser"},
        {Command_Exit, "Command_Exit"},
        {Command_Help, "Command_Help"},
        {Command_OpenWikiMain, "Command_OpenWikiMain"},
        {Option_HistoryList[0], "Option_HistoryList0"},
        {Option_HistoryList[1], "Option_HistoryList1"},
        {Option_HistoryList[2], "Option_HistoryList2"},
    };
    for (const auto &[widget, name] : names)
        widget->setObjectName(QLatin1String(name));

    // Screen readers announce these. A button's caption is read as shown, with
    // "&&" as one "&"; the search box is named by its label, and the list by
    // what it holds since it has no caption.
    for (QAbstractButton *button : findChildren<QAbstractButton *>())
        button->setAccessibleName(shownCaption(button->text()));
    Text_SearchData->setAccessibleName(Label_SearchData->text());
    List_History->setAccessibleName(QStringLiteral("Search history"));

    TwipsLayout::apply(this, {4140, 3465},
                       {
                           {Text_SearchData, {1920, 210, 1935, 285}},
                           {List_History, {1920, 600, 1935, 2010}},
                           {Label_SearchData, {360, 240, 1425, 195}},
                           {Command_OpenBrowser, {1920, 2880, 1935, 375}},
                           {Command_Exit, {240, 2880, 1455, 375}},
                           {Command_Help, {240, 600, 1455, 375}},
                           {Command_OpenWikiMain, {240, 2040, 1455, 585}},
                           {Option_HistoryList[0], {240, 1140, 1335, 255}},
                           {Option_HistoryList[1], {240, 1410, 1335, 255}},
                           {Option_HistoryList[2], {240, 1680, 1335, 255}},
                       });

    const QList<QWidget *> tabOrder = {
        Text_SearchData,       List_History,          Command_OpenBrowser,
        Command_Exit,          Command_Help,          Command_OpenWikiMain,
        Option_HistoryList[0], Option_HistoryList[1], Option_HistoryList[2]};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    // Tab reaches the selected option button only; the arrow keys move within
    // the group.
    for (QRadioButton *option : Option_HistoryList) {
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
    connect(Command_Exit, &QPushButton::clicked, this, &MainForm::Command_Exit_Click);
    connect(Command_OpenBrowser, &QPushButton::clicked, this, &MainForm::Command_OpenBrowser_Click);
    connect(Command_OpenWikiMain, &QPushButton::clicked, this,
            &MainForm::Command_OpenWikiMain_Click);
    connect(Command_Help, &QPushButton::clicked, this, &MainForm::Command_Help_Click);

    connect(Text_SearchData, &QLineEdit::textChanged, this, &MainForm::Text_SearchData_Change);
    connect(Text_SearchData, &SearchBox::keyDown, this, &MainForm::Text_SearchData_KeyDown);
    connect(Text_SearchData, &SearchBox::doubleClicked, this, &MainForm::Text_SearchData_DblClick);

    // Selecting by mouse or keyboard picks the item; so does a click on the item
    // already selected, which the user expects to copy it again after editing.
    connect(List_History, &QListWidget::itemSelectionChanged, this, &MainForm::List_History_Click);
    connect(List_History, &QListWidget::itemClicked, this, &MainForm::List_History_Click);
    connect(List_History, &QListWidget::itemDoubleClicked, this, &MainForm::List_History_DblClick);
    // The list's context menu searches and copies as a double-click and a click do.
    connect(List_History, &HistoryListBox::searchRequested, this, &MainForm::List_History_DblClick);
    connect(List_History, &HistoryListBox::copyToSearchBoxRequested, this,
            &MainForm::List_History_Click);
    connect(List_History, &HistoryListBox::itemRemoved, this, &MainForm::List_History_ItemRemoved);
    connect(List_History, &HistoryListBox::removalUndone, this,
            &MainForm::List_History_RemovalUndone);
    m_recall = new SearchRecall(*Text_SearchData, *List_History, this);
    EarlierSearches::attach(*Text_SearchData,
                            {[this] { return m_session.selectedList(); },
                             [this] { return List_History->texts(); },
                             [](qint16 list) { return DataFolder::historyFilePath(list); },
                             [this] { return m_session.historyListMaxItems(); },
                             [this] { Command_OpenBrowser_Click(); }});

    // A click (mouse, Space, or an arrow key moving the selection) on any of
    // the three, the one already selected included: choosing the current list
    // again reloads it from its file.
    for (qint16 index = 0; index < qint16(Option_HistoryList.size()); ++index)
        connect(Option_HistoryList[index], &QRadioButton::clicked, this,
                [this, index] { Option_HistoryList_Click(index); });
}

// ---------------------------------------------------------------- start-up and shut-down

void MainForm::Form_Load()
{
    setWindowTitle(AppInfo::ApplicationTitle + QStringLiteral(", v") + m_session.appVersion() +
                   AppInfo::CaptionSuffix);

    const QString dataFolder = DataFolder::path();
    if (reportIfFailed(this, DataFolder::ensureExists(dataFolder))) {
        reportIfFailed(this, DataFolder::migrateOldHistoryFile(dataFolder));
        // What saves killed half-way left behind would pile up without end.
        for (qint16 list = 1; list <= 3; ++list)
            SafeFile::removeLeftoverTemporaries(DataFolder::historyFilePath(list));
    }

    m_session.readSettings();
    Option_HistoryList[m_session.selectedList() - 1]->setChecked(true);
    reportIfFailed(this, m_session.storeDefaultsOnFirstRun());

    loadHistoryList(m_session, *List_History);
    FormLoaded = true;
}

void MainForm::Form_Activate()
{
    if (List_History->count() == 0)
        Text_SearchData->setFocus();
}

void MainForm::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    writeBackChanges();
}

void MainForm::writeBackChanges()
{
    // The user can do nothing about a failed write now, but should know the
    // value will not be there next time.
    for (const Failure &failure : m_session.writeBackSettings())
        reportFailure(this, failure);
    if (m_session.historyModified())
        saveHistoryList(m_session, *List_History);
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
        Text_SearchData->setFocus();
}

bool MainForm::searchFromOutside(const QString &term)
{
    const QString unsent = Text_SearchData->text();
    Text_SearchData->replaceAsTyped(term);
    if (Text_SearchData->text().isEmpty()) {
        Text_SearchData->setText(unsent);
        return false;
    }
    Text_SearchData_KeyDown(Qt::Key_Return, Qt::NoModifier);
    m_recall->setAside(unsent);
    return true;
}

void MainForm::saveChanges()
{
    writeBackChanges();
}

void MainForm::unload()
{
    Form_Unload();
}

void MainForm::Command_Exit_Click()
{
    close();
}

bool MainForm::event(QEvent *event)
{
    const bool handled = QWidget::event(event);
    // Only the first activation: coming back from another program or from a
    // message box must not take the focus away from where the user left it.
    if (event->type() == QEvent::WindowActivate && !m_activatedOnce) {
        m_activatedOnce = true;
        Form_Activate();
    }
    return handled;
}

bool MainForm::eventFilter(QObject *watched, QEvent *event)
{
    // An arrow key moves the choice by clicking the next button and only then
    // gives that button the focus, after the click handler has put the focus
    // into the search box. The key is handled here so that the search box
    // can have the last word.
    const bool isOption = std::find(Option_HistoryList.begin(), Option_HistoryList.end(),
                                    watched) != Option_HistoryList.end();
    if (isOption && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent *>(event)->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Left:
        case Qt::Key_Right: {
            const int choicesBefore = m_listChoices;
            watched->event(event);
            if (m_listChoices != choicesBefore)
                Text_SearchData->setFocus();
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
    Form_Unload();
    event->accept();
}

// ---------------------------------------------------------------- search launch and search box

void MainForm::Command_OpenBrowser_Click()
{
    const QString term = Text_SearchData->text();
    const bool moveToTop = m_session.moveItemToTop().on;
    const SearchRules::HistoryEdit edit = SearchRules::historyEditForLaunch(
        List_History->texts(), term, m_session.historyListMaxItems(), moveToTop);
    bool handedOff = false;
    {
        // Moving or dropping the selected item is not the user picking another
        // one, which would put a different term into the box before it is read.
        const QSignalBlocker quiet(List_History);
        applyHistoryEdit(*List_History, edit, term);
        if (edit.changesList()) {
            m_session.setHistoryModified(true);
            m_session.recordChange({HistoryChange::Kind::Search, term, moveToTop});
        }

        handedOff = !openInDefaultHandler(m_session.wikiPath() + Text_SearchData->text(), QString(),
                                          ShowCommand::Normal);

        List_History->clearSelection();
        List_History->setCurrentItem(nullptr);
    }
    Text_SearchData->clear();
    Text_SearchData->setFocus();
    // When nothing could be opened the user has just been told so; the
    // window stays for another try.
    if (handedOff && m_session.closeWhenBrowserOpen().on)
        closeAfterHandOff();
}

void MainForm::Command_OpenWikiMain_Click()
{
    const bool handedOff =
        !openInDefaultHandler(m_session.wikiPath(), QString(), ShowCommand::Normal);
    Text_SearchData->setFocus();
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

void MainForm::Text_SearchData_Change()
{
    const QString text = Text_SearchData->text();
    if (const int blanks = SearchRules::leadingSpaces(text)) {
        // The caret stays beside the characters it stood beside.
        const int caret = Text_SearchData->cursorPosition();
        Text_SearchData->setText(text.mid(blanks));
        Text_SearchData->setCursorPosition(std::max(0, caret - blanks));
    }
    Command_OpenBrowser->setEnabled(!Text_SearchData->text().isEmpty());
}

void MainForm::Text_SearchData_DblClick()
{
    Text_SearchData->clear();
}

void MainForm::Text_SearchData_KeyDown(int KeyCode, Qt::KeyboardModifiers Shift)
{
    Q_UNUSED(Shift)
    // Enter launches whatever the box holds, even with the launch button off.
    if (KeyCode == Qt::Key_Return || KeyCode == Qt::Key_Enter)
        Command_OpenBrowser_Click();
}

// ---------------------------------------------------------------- history list

MainForm::Picked MainForm::pickSelectedItem()
{
    const QList<QListWidgetItem *> selected = List_History->selectedItems();
    if (selected.isEmpty())
        return Picked::Nothing;
    const QString item = selected.front()->text();
    // A dash item cannot be searched, so it empties the box and leaves the
    // launch button off.
    if (SearchRules::isDashItem(item)) {
        Text_SearchData->clear();
        Command_OpenBrowser->setEnabled(false);
        return Picked::DashItem;
    }
    Text_SearchData->setText(item);
    return Picked::Term;
}

void MainForm::List_History_Click()
{
    pickSelectedItem();
}

void MainForm::List_History_DblClick()
{
    // The launch reads the box after its change rule, so an item with leading
    // blanks is searched without them.
    if (pickSelectedItem() == Picked::Term)
        Command_OpenBrowser_Click();
}

void MainForm::List_History_ItemRemoved()
{
    m_changedBeforeRemoval = m_session.historyModified();
    m_session.setHistoryModified(true);
    m_session.recordChange({HistoryChange::Kind::Removal, List_History->removedText()});
}

void MainForm::List_History_RemovalUndone()
{
    // The list is as it was before the removal. Unless it has been saved since,
    // without the item, it differs from its file exactly as much as it did then,
    // so a removal taken back costs no prompt and no rewrite of the file.
    m_session.setHistoryModified(m_session.historyModified() ? m_changedBeforeRemoval : true);
    m_session.forgetLastRemoval();
}

void MainForm::Option_HistoryList_Click(qint16 Index)
{
    if (!FormLoaded)
        return;
    ++m_listChoices;

    if (m_session.historyModified()) {
        const QMessageBox::StandardButton answer = askToSaveBeforeSwitching(this);
        // Closing the box counts as Cancel; so does a save that failed (the user
        // has been told why), since switching would throw the unsaved list away.
        const bool keepCurrentList =
            (answer != QMessageBox::Yes && answer != QMessageBox::No) ||
            (answer == QMessageBox::Yes && !saveHistoryList(m_session, *List_History));
        if (keepCurrentList) {
            FormLoaded = false;
            Option_HistoryList[m_session.selectedList() - 1]->setChecked(true);
            Text_SearchData->setFocus();
            QCoreApplication::processEvents();
            FormLoaded = true;
            return;
        }
    }

    m_session.chooseList(qint16(Index + 1));
    List_History->clear();
    // The old list's changes are gone with its items: should the new file prove
    // unreadable, the empty box must not be saved over it at exit.
    m_session.setHistoryModified(false);
    loadHistoryList(m_session, *List_History);
    Text_SearchData->setFocus();
}

// ---------------------------------------------------------------- Info & Settings

void MainForm::Command_Help_Click()
{
    // Built afresh at every opening, so it always starts from its design and
    // the current state.
    InfoForm form(m_session, *List_History, this);
    form.exec();
    // With the Info window gone, the window manager may leave the focus with
    // no window at all; it comes back to the button that opened the Info
    // window, or to the search box when the list was emptied there.
    activateWindow();
    Command_Help->setFocus();
    Form_Activate();
}

} // namespace Nimbrel
