#include "windows/InfoForm.h"

#include "desktop/Desktop.h"
#include "desktop/OpenInDefaultHandler.h"
#include "rules/AppInfo.h"
#include "rules/HistorySize.h"
#include "rules/LauncherSession.h"
#include "rules/Mailto.h"
#include "rules/NumericValue.h"
#include "rules/SettingsStore.h"
#include "windows/AccessibleRoles.h"
#include "windows/Contrast.h"
#include "windows/EnterKey.h"
#include "windows/HistoryList.h"
#include "windows/IndicatorStyle.h"
#include "windows/LinkLabel.h"
#include "windows/SeparatorLine.h"
#include "windows/TwipsLayout.h"
#include "windows/UpdateCheck.h"
#include "windows/WindowFont.h"
#include "windows/WrappedPath.h"

#include <QCheckBox>
#include <QFile>
#include <QFontMetrics>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStringList>

#include <algorithm>
#include <limits>

namespace Nimbrel
{

namespace
{

QLabel *plainLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

constexpr TwipsRect EmailRect{240, 2040, 1245, 225};

// The registry exists on Windows only; elsewhere the store is a file, and
// the texts name that instead.
#ifdef Q_OS_WIN
const QString StoreAt = QStringLiteral("in the Windows Registry at:");
QString copiedMessage(const QString &)
{
    return QStringLiteral("Registry key copied to Clipboard.");
}
const QString NotCopied = QStringLiteral("The registry key could not be copied to the Clipboard");
#else
const QString StoreAt = QStringLiteral("in the settings file at:");
QString copiedMessage(const QString &location)
{
    return QStringLiteral("Settings location copied to Clipboard:\n\n") + location;
}
const QString NotCopied =
    QStringLiteral("The settings location could not be copied to the Clipboard");
#endif

// The five lines of the design: two sentences, where the wiki URL is kept,
// and empty lines that the location may take when it needs more than one.
constexpr int InformationLines = 5;
constexpr int LocationLinesAtMost = InformationLines - 2;

QString informationText(const QStringList &location)
{
    QStringList lines{
        QStringLiteral("There is one default setting that should never need changing and that "
                       "is the Nimbrel URL."),
        QStringLiteral("However, should it for some reason be needed anyway it is ") + StoreAt,
    };
    lines << location;
    while (lines.size() < InformationLines)
        lines << QString();
    return lines.join(u'\n');
}

MessageRequest question(QWidget *parent, const QString &title, const QString &text,
                        QMessageBox::Icon icon)
{
    MessageRequest request;
    request.parent = parent;
    request.title = title;
    request.text = text;
    request.buttons = QMessageBox::Yes | QMessageBox::No;
    request.defaultButton = QMessageBox::Yes;
    request.icon = icon;
    return request;
}

// The editor is handed the path of a list that was never saved. An editor
// started through the desktop's file associations cannot open a file that is
// not there, so an empty one, which reads as an empty list, is put in place.
void makeSureFileExists(const QString &path)
{
    QFile file(path);
    if (!file.exists())
        file.open(QIODevice::WriteOnly | QIODevice::NewOnly);
}

} // namespace

InfoForm::InfoForm(LauncherSession &session, QListWidget &historyList, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), m_session(session),
      m_historyList(historyList)
{
    installAccessibleRoles();
    buildDesign();
    connectHandlers();
    Form_Load();
    // Only now do the labels hold the texts they will show, so the scale is
    // computed from those rather than from the placeholders.
    layOut();
    nameForAccessibility();
    Command_Exit->setFocus();
}

InfoForm::~InfoForm() = default;

void InfoForm::buildDesign()
{
    setObjectName(QStringLiteral("InfoForm"));
    setWindowTitle(QStringLiteral("General Info & Settings"));
    setFont(WindowFont::forWindow(font()));

    Label_Info = plainLabel(QString(), this);
    Label_Info->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Command_Exit = new QPushButton(QStringLiteral("Close"), this);
    Command_CopyKey = new QPushButton(QStringLiteral("Copy key to Clipboard"), this);
    lblEmail = new LinkLabel(AppInfo::AuthorEmailAddress, this);
    CheckUpdate = new QPushButton(QStringLiteral("Check for Updates"), this);
    Label_AppTitle = plainLabel(QStringLiteral("Application Title"), this);
    Label_AppVersion = plainLabel(QStringLiteral("Version"), this);
    Check_CloseProgram =
        new QCheckBox(QStringLiteral("Exit Program when the Browser is opened"), this);
    Label1 = plainLabel(QStringLiteral("Histry List size (10 - 50) :"), this);
    Text_HistoryListMaxItems = new QLineEdit(QStringLiteral("50"), this);
    Text_HistoryListMaxItems->setMaxLength(std::numeric_limits<int>::max()); // no length limit
    Label1->setBuddy(Text_HistoryListMaxItems);
    Command_Apply = new QPushButton(QStringLiteral("Apply"), this);
    Command_Apply->setEnabled(false);
    Command_EditHistory = new QPushButton(QStringLiteral("Edit History List"), this);
    Command_ClearHistoryList = new QPushButton(QStringLiteral("Clear History List"), this);
    Check_MoveItemToTop = new QCheckBox(
        QStringLiteral("Move History item to top of the History list when used for search"), this);
    // Created in this order so that the light line lies over the dark one.
    // The design's white all but vanishes on a light window and glares on a
    // dark one: the line goes from the window's colour towards white only as
    // far as it must to be seen, or towards black where white cannot be.
    Line5 = new SeparatorLine(palette().color(QPalette::WindowText), this);
    Line4 = new SeparatorLine(Contrast::quietestVisible(palette().color(QPalette::Window),
                                                        Qt::white, Contrast::ForGraphics),
                              this);
    for (QCheckBox *check : {Check_CloseProgram, Check_MoveItemToTop})
        check->setStyle(IndicatorStyle::shared());

    // The design draws the title in black, which all but vanishes on a dark
    // desktop theme; there it keeps the theme's text colour.
    QPalette titlePalette = Label_AppTitle->palette();
    if (Contrast::blackReadsBetterOn(titlePalette.color(QPalette::Window))) {
        titlePalette.setColor(QPalette::WindowText, Qt::black);
        Label_AppTitle->setPalette(titlePalette);
    }

    lblEmail->setFont(WindowFont::forLink(font()));
    Text_HistoryListMaxItems->installEventFilter(this);

    // Left to itself, a dialog makes a button the default one, which Enter
    // would click from anywhere in the window.
    for (QPushButton *button : findChildren<QPushButton *>())
        button->setAutoDefault(false);

    const struct {
        QWidget *widget;
        const char *name;
    } names[] = {
        {Label_Info, "Label_Info"},
        {Command_Exit, "Command_Exit"},
        {Command_CopyKey, "Command_CopyKey"},
        {lblEmail, "lblEmail"},
        {CheckUpdate, "CheckUpdate"},
        {Label_AppTitle, "Label_AppTitle"},
        {Label_AppVersion, "Label_AppVersion"},
        {Check_CloseProgram, "Check_CloseProgram"},
        {Label1, "Label1"},
        {Text_HistoryListMaxItems, "Text_HistoryListMaxItems"},
        {Command_Apply, "Command_Apply"},
        {Command_EditHistory, "Command_EditHistory"},
        {Command_ClearHistoryList, "Command_ClearHistoryList"},
        {Check_MoveItemToTop, "Check_MoveItemToTop"},
        {Line5, "Line5"},
        {Line4, "Line4"},
    };
    for (const auto &[widget, name] : names)
        widget->setObjectName(QLatin1String(name));

    // The e-mail link comes last, so that the controls keep their designed
    // order before it.
    const QList<QWidget *> tabOrder = {Command_Exit,
                                       Command_CopyKey,
                                       CheckUpdate,
                                       Check_CloseProgram,
                                       Text_HistoryListMaxItems,
                                       Command_Apply,
                                       Command_EditHistory,
                                       Command_ClearHistoryList,
                                       Check_MoveItemToTop,
                                       lblEmail};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
}

void InfoForm::layOut()
{
    // The location is as long as the settings file's path, which can be of
    // any length: the window's size is found without it, and the location
    // then gets the room its lines have.
    Label_Info->setText(informationText({}));
    // The design lets Label1 run 15 twips under its box. It is fitted to the
    // part left of the box instead, so that its colon stays in sight.
    const double scale = TwipsLayout::apply(this, {7560, 4905},
                                            {
                                                {Label_Info, {240, 960, 7005, 975}},
                                                {Command_Exit, {5520, 4320, 1815, 375}},
                                                {Command_CopyKey, {5520, 2160, 1815, 375}},
                                                {CheckUpdate, {3480, 2160, 1815, 375}},
                                                {Label_AppTitle, {240, 240, 7005, 240}},
                                                {Label_AppVersion, {240, 540, 7005, 225}},
                                                {Check_CloseProgram, {360, 3360, 3495, 255}},
                                                {Label1, {360, 3810, 1800, 255}},
                                                {Text_HistoryListMaxItems, {2160, 3780, 375, 285}},
                                                {Command_Apply, {2760, 3780, 975, 315}},
                                                {Command_EditHistory, {360, 4320, 1455, 375}},
                                                {Command_ClearHistoryList, {2040, 4320, 1455, 375}},
                                                {Check_MoveItemToTop, {360, 3000, 5295, 255}},
                                                {Line5, {120, 2760, 7320, 15}},
                                                {Line4, {120, 2760, 7320, 30}},
                                            });
    // Line widths are pixels, whatever the scale.
    Line5->resize(Line5->width(), 1);
    Line4->resize(Line4->width(), 2);

    showLocation();

    // The address may take as much of its row as it needs; the row is free up
    // to "Check for Updates".
    QRect email = TwipsLayout::toPixels(EmailRect, scale);
    const QSize needed = TwipsLayout::captionSize(lblEmail);
    email.setWidth(std::max(email.width(), needed.width()));
    email.setHeight(std::max(email.height(), needed.height()));
    lblEmail->setGeometry(email);
}

void InfoForm::showLocation()
{
    // Past its own line the location takes the empty lines below it; a
    // location longer still loses its middle, where a path's parts are least
    // telling. The tooltip and screen readers have it whole.
    const QStringList shown = wrappedPath(m_location, QFontMetrics(Label_Info->font()),
                                          Label_Info->contentsRect().width(), LocationLinesAtMost);
    Label_Info->setText(informationText(shown));
    Label_Info->setToolTip(shown.join(QString()) == m_location ? QString() : m_location);
}

void InfoForm::nameForAccessibility()
{
    for (QAbstractButton *button : findChildren<QAbstractButton *>())
        button->setAccessibleName(button->text());
    for (QLabel *label : findChildren<QLabel *>())
        label->setAccessibleName(label->text());
    Label_Info->setAccessibleName(informationText({m_location}));
    Text_HistoryListMaxItems->setAccessibleName(Label1->text());
}

void InfoForm::connectHandlers()
{
    connect(Check_CloseProgram, &QCheckBox::toggled, this, &InfoForm::Check_CloseProgram_Click);
    connect(Check_MoveItemToTop, &QCheckBox::toggled, this, &InfoForm::Check_MoveItemToTop_Click);
    connect(Text_HistoryListMaxItems, &QLineEdit::textChanged, this,
            &InfoForm::Text_HistoryListMaxItems_Change);
    connect(Command_Apply, &QPushButton::clicked, this, &InfoForm::Command_Apply_Click);
    connect(Command_Exit, &QPushButton::clicked, this, &InfoForm::Command_Exit_Click);
    connect(Command_EditHistory, &QPushButton::clicked, this, &InfoForm::Command_EditHistory_Click);
    connect(Command_ClearHistoryList, &QPushButton::clicked, this,
            &InfoForm::Command_ClearHistoryList_Click);
    connect(Command_CopyKey, &QPushButton::clicked, this, &InfoForm::Command_CopyKey_Click);
    connect(CheckUpdate, &QPushButton::clicked, this, &InfoForm::CheckUpdate_Click);
    connect(lblEmail, &LinkLabel::activated, this, &InfoForm::lblEmail_Click);
}

bool InfoForm::eventFilter(QObject *watched, QEvent *event)
{
    // A filter sees the input that a disabled control ignores, such as a
    // click made while the update check waits with every window disabled.
    if (const auto *control = qobject_cast<QWidget *>(watched); control && !control->isEnabled())
        return QDialog::eventFilter(watched, event);
    if (watched == Text_HistoryListMaxItems && event->type() == QEvent::MouseButtonDblClick) {
        Text_HistoryListMaxItems_DblClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void InfoForm::keyPressEvent(QKeyEvent *event)
{
    // The window has neither a cancel button nor a default button: Escape
    // does not close it, and Enter clicks only the button that has the focus.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    if (isEnterKey(*event)) {
        pressFocusedButton(*this);
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

// ---------------------------------------------------------------- settings editing

void InfoForm::Form_Load()
{
    Label_AppTitle->setText(AppInfo::ApplicationTitle);
    Label_AppVersion->setText(QStringLiteral("Version ") + m_session.appVersion());
    m_location = SettingsStore::wikiPathLocation();
    Label_Info->setText(informationText({m_location}));
    if (m_session.moveItemToTop().on)
        Check_MoveItemToTop->setChecked(true);
    if (m_session.closeWhenBrowserOpen().on)
        Check_CloseProgram->setChecked(true);
    Text_HistoryListMaxItems->setText(QString::number(m_session.historyListMaxItems()));
    FormLoaded = true;
}

void InfoForm::Check_CloseProgram_Click()
{
    if (!FormLoaded)
        return;
    m_session.setCloseWhenBrowserOpen({Check_CloseProgram->isChecked(), true});
}

void InfoForm::Check_MoveItemToTop_Click()
{
    if (!FormLoaded)
        return;
    m_session.setMoveItemToTop({Check_MoveItemToTop->isChecked(), true});
}

void InfoForm::Text_HistoryListMaxItems_Change()
{
    if (!FormLoaded)
        return;
    Command_Apply->setEnabled(
        HistorySize::acceptable(numericValue(Text_HistoryListMaxItems->text())));
}

void InfoForm::Text_HistoryListMaxItems_DblClick()
{
    Text_HistoryListMaxItems->clear();
}

void InfoForm::Command_Apply_Click()
{
    const std::optional<qint16> size =
        HistorySize::applied(numericValue(Text_HistoryListMaxItems->text()));
    if (!size)
        return; // only reachable from code: the button is disabled then

    reportIfFailed(this, m_session.applyHistoryListMaxItems(*size));
    // The reload replaces the list with the file's content; searches not yet
    // saved would vanish with it, so they go to the file first.
    if (!m_session.historyModified() || saveHistoryList(m_session, m_historyList))
        loadHistoryList(m_session, m_historyList);
    Command_Apply->setEnabled(false);
}

void InfoForm::Command_Exit_Click()
{
    close();
}

// ---------------------------------------------------------------- history maintenance

void InfoForm::Command_EditHistory_Click()
{
    // The editor would show the file without the unsaved searches, and a
    // reload would throw them away: when they cannot be saved (the user has
    // been told why), nothing else happens.
    if (m_session.historyModified() && !saveHistoryList(m_session, m_historyList))
        return;
    makeSureFileExists(m_session.historyFilePath());
    // No editor, no changes to refresh from; the user has been told why.
    if (desktop().openInEditor(m_session.historyFilePath(), ShowCommand::Normal))
        return;

    const QString prompt =
        QStringList{QStringLiteral("If changes were made to the History List a Refresh is needed"),
                    QStringLiteral("or the changes may be lost."), QString(),
                    QStringLiteral("Refresh now ?")}
            .join(u'\n');
    if (desktop().showMessage(question(this, QStringLiteral("Refresh"), prompt,
                                       QMessageBox::NoIcon)) == QMessageBox::Yes)
        loadHistoryList(m_session, m_historyList);
    close();
}

void InfoForm::Command_ClearHistoryList_Click()
{
    if (desktop().showMessage(question(this, QStringLiteral("Clear History List"),
                                       QStringLiteral("Are you sure ?"), QMessageBox::Question)) ==
        QMessageBox::No)
        return;
    m_historyList.clear();
    m_session.recordChange({HistoryChange::Kind::Clearing, QString()});
    saveHistoryList(m_session, m_historyList);
    close();
}

void InfoForm::Command_CopyKey_Click()
{
    MessageRequest request;
    request.parent = this;
    request.buttons = QMessageBox::Ok;
    request.defaultButton = QMessageBox::Ok;
    if (desktop().setClipboardText(m_location)) {
        request.title = QStringLiteral("Confirmation");
        request.text = copiedMessage(m_location);
        request.icon = QMessageBox::Information;
    } else {
        request.title = AppInfo::ApplicationTitle;
        request.text = NotCopied + QStringLiteral(": another program may be holding it. "
                                                  "Please try again.");
        request.icon = QMessageBox::Warning;
    }
    desktop().showMessage(request);
    Command_CopyKey->setFocus();
}

// ---------------------------------------------------------------- update check and contact

void InfoForm::CheckUpdate_Click()
{
    runUpdateCheck(this, m_session);
}

void InfoForm::lblEmail_Click()
{
    OpenEmail(AppInfo::AuthorEmailAddress, QStringLiteral("Nimbrel Launcher"), QString());
}

// Nothing reads the result yet; "true on success" is what a future caller
// would expect.
bool InfoForm::OpenEmail(const QString &EmailAddress, const QString &Subject, const QString &Body)
{
    return !openInDefaultHandler(mailtoUrl(EmailAddress, Subject, Body), QString(),
                                 ShowCommand::Show);
}

} // namespace Nimbrel
