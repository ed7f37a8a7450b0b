#include "core/MainForm.h"

#include "core/AppInfo.h"
#include "core/AppVersion.h"
#include "core/Caption.h"
#include "core/DataFolder.h"
#include "core/Module1.h"
#include "core/SettingsStore.h"
#include "core/TwipsLayout.h"
#include "core/WrappingButton.h"
#include "history/HistoryList.h"
#include "search/SearchRules.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include <limits>

using Module1::State;
namespace Key = SettingsStore::Key;

MainForm::MainForm(QWidget *parent) : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint)
{
    buildDesign();
    connect(Command_Exit, &QPushButton::clicked, this, &MainForm::Command_Exit_Click);
    connectSearchHandlers();
    connectListSelection();
    connectInfoButton();
    Form_Load();
}

MainForm::~MainForm() = default;

void MainForm::buildDesign()
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Form1"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/nimbrel-launcher-32.png")));
    QFont windowFont = font();
    windowFont.setPointSize(8);
    setFont(windowFont);

    Text_SearchData = new QLineEdit(this);
    Text_SearchData->setMaxLength(std::numeric_limits<int>::max()); // no length limit
    List_History = new QListWidget(this);
    List_History->setSelectionMode(QAbstractItemView::SingleSelection);
    List_History->setUniformItemSizes(true);
    Label_SearchData = new QLabel(QStringLiteral("Search Nimbrel for:"), this);
    Label_SearchData->setBuddy(Text_SearchData);
    Command_OpenBrowser = new QPushButton(QStringLiteral("Open Nimbrel Search"), this);
    Command_OpenBrowser->setEnabled(false);
    Command_Exit = new QPushButton(QStringLiteral("Exit"), this);
    Command_Help = new QPushButton(QStringLiteral("Info && Settings"), this);
    Command_OpenWikiMain = new WrappingButton(QStringLiteral("Open Nimbrel Main Page"), this);
    for (int i = 0; i < 3; ++i)
        Option_HistoryList[i] =
            new QRadioButton(QStringLiteral("History List ") + QString::number(i + 1), this);

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

    const QList<QWidget *> tabOrder = {Text_SearchData,       List_History,
                                       Command_OpenBrowser,   Command_Exit,
                                       Command_Help,          Command_OpenWikiMain,
                                       Option_HistoryList[0], Option_HistoryList[1],
                                       Option_HistoryList[2]};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    // Tab reaches the selected option button only; the arrow keys move within
    // the group.
    for (QRadioButton *option : Option_HistoryList) {
        option->setFocusPolicy(Qt::ClickFocus);
        connect(option, &QRadioButton::toggled, option, [option](bool checked) {
            option->setFocusPolicy(checked ? Qt::StrongFocus : Qt::ClickFocus);
        });
    }

    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

void MainForm::Form_Load()
{
    State.AppVersion = executableVersionText();
    setWindowTitle(AppInfo::ApplicationTitle + QStringLiteral(", v") + State.AppVersion +
                   AppInfo::CaptionSuffix);

    State.HistoryFilePath = DataFolder::path();
    if (DataFolder::ensureExists(State.HistoryFilePath, this))
        DataFolder::migrateOldHistoryFile(State.HistoryFilePath, this);

    State.SelectedSavedList = SettingsStore::ReadNumberSetting(Key::SelectedSavedList, 1);
    if (State.SelectedSavedList < 1 || State.SelectedSavedList > 3)
        State.SelectedSavedList = 1;
    Option_HistoryList[State.SelectedSavedList - 1]->setChecked(true);
    State.HistoryFilePath +=
        QDir::separator() + DataFolder::historyFileName(State.SelectedSavedList);

    State.WikiPath = SettingsStore::ReadSetting(Key::WikiPath);
    State.Homepage = SettingsStore::ReadSetting(Key::Homepage, AppInfo::DefaultHomepage);
    State.CloseWhenBrowserOpen = SettingsStore::ReadNumberSetting(Key::CloseWhenBrowserOpen, 0);
    State.MoveItemToTop = SettingsStore::ReadNumberSetting(Key::MoveItemToTop, 0);
    State.HistoryListMaxItems = SettingsStore::ReadNumberSetting(Key::HistoryListMaxItems, 10);

    if (State.WikiPath.isEmpty()) {
        State.WikiPath = AppInfo::DefaultWikiPath;
        const QList<QPair<QString, QString>> seeds = {
            {Key::WikiPath, State.WikiPath},
            {Key::HistoryListMaxItems, QString::number(State.HistoryListMaxItems)},
            {Key::Homepage, State.Homepage},
            {Key::CloseWhenBrowserOpen, QStringLiteral("0")},
        };
        for (const auto &[key, text] : seeds) {
            // One message is enough: the other writes would fail the same way.
            if (!SettingsStore::WriteSetting(key, text, this))
                break;
        }
    }

    LoadHistoryList(*List_History);
    FormLoaded = Module1::True;
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
    if (State.CloseWhenBrowserOpen > 1)
        SettingsStore::WriteSetting(
            Key::CloseWhenBrowserOpen,
            QString::number(Module1::storedOptionValue(State.CloseWhenBrowserOpen)), this);
    if (State.MoveItemToTop > 1)
        SettingsStore::WriteSetting(Key::MoveItemToTop,
                                    QString::number(Module1::storedOptionValue(State.MoveItemToTop)),
                                    this);
    if (State.SavedListChanged)
        SettingsStore::WriteSetting(Key::SelectedSavedList,
                                    QString::number(State.SelectedSavedList), this);
    if (State.HistoryChanged)
        SaveHistoryList(*List_History);
}

void MainForm::bringToFront()
{
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
    // The box's rules for pasted text, which take each character as if typed.
    Text_SearchData->clear();
    Text_SearchData->insert(SearchRules::typedInsertion(QString(), 0, 0, term));
    if (Text_SearchData->text().isEmpty())
        return false;
    Text_SearchData_KeyDown(Qt::Key_Return, Qt::NoModifier);
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
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return handled;
}

void MainForm::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    event->accept();
}
