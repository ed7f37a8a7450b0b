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
#include "windows/ControlTable.h"
#include "windows/EnterKey.h"
#include "windows/HistoryList.h"
#include "windows/TwipsLayout.h"
#include "windows/UpdateCheck.h"
#include "windows/WrappedPath.h"

#include <QCheckBox>
#include <QFile>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStringList>

#include <algorithm>

namespace Nimbrel
{

namespace
{

// The registry exists on Windows only; elsewhere the store is a file, and
// the texts name that instead.
#ifdef Q_OS_WIN
QString storeAt()
{
    return InfoForm::tr("in the Windows Registry at:");
}
QString copiedMessage(const QString &)
{
    return InfoForm::tr("Registry key copied to Clipboard.");
}
QString notCopiedMessage()
{
    return InfoForm::tr("The registry key could not be copied to the Clipboard: another program "
                        "may be holding it. Please try again.");
}
#else
QString storeAt()
{
    return InfoForm::tr("in the settings file at:");
}
QString copiedMessage(const QString &location)
{
    return InfoForm::tr("Settings location copied to Clipboard:\n\n%1").arg(location);
}
QString notCopiedMessage()
{
    return InfoForm::tr("The settings location could not be copied to the Clipboard: another "
                        "program may be holding it. Please try again.");
}
#endif

// The five lines of the design: two sentences, where the wiki URL is kept,
// and empty lines that the location may take when it needs more than one.
constexpr int InformationLines = 5;
constexpr int LocationLinesAtMost = InformationLines - 2;

QString informationText(const QStringList &location)
{
    QStringList lines{
        InfoForm::tr("There is one default setting that should never need changing and that "
                     "is the Nimbrel URL."),
        //: Ends with where the settings are kept: "in the settings file at:" or its like
        InfoForm::tr("However, should it for some reason be needed anyway it is %1").arg(storeAt()),
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
    m_ui.setupUi(this);
    m_ui.Text_HistoryListMaxItems->installEventFilter(this);
    connectHandlers();
    load();
    // Only now do the labels hold the texts they will show, so the scale is
    // computed from those rather than from the placeholders.
    layOut();
    ControlTable::nameByCaptions(*this);
    m_ui.Label_Info->setAccessibleName(informationText({m_location}));
    m_ui.Command_Exit->setFocus();
}

InfoForm::~InfoForm() = default;

void InfoForm::layOut()
{
    // The location is as long as the settings file's path, which can be of
    // any length: the window's size is found without it, and the location
    // then gets the room its lines have.
    m_ui.Label_Info->setText(informationText({}));
    const double scale = TwipsLayout::apply(this, InfoFormUi::ClientTwips, m_ui.designedControls());
    // Line widths are pixels, whatever the scale.
    m_ui.Line5->resize(m_ui.Line5->width(), 1);
    m_ui.Line4->resize(m_ui.Line4->width(), 2);

    showLocation();

    for (const DesignedControl &control : m_ui.controlsWidenedToCaption()) {
        QRect placed = TwipsLayout::toPixels(control.rect, scale);
        const QSize needed = TwipsLayout::captionSize(control.widget);
        placed.setWidth(std::max(placed.width(), needed.width()));
        placed.setHeight(std::max(placed.height(), needed.height()));
        control.widget->setGeometry(placed);
    }
}

void InfoForm::showLocation()
{
    // Past its own line the location takes the empty lines below it; a
    // location longer still loses its middle, where a path's parts are least
    // telling. The tooltip and screen readers have it whole.
    const QStringList shown =
        wrappedPath(m_location, QFontMetrics(m_ui.Label_Info->font()),
                    m_ui.Label_Info->contentsRect().width(), LocationLinesAtMost);
    m_ui.Label_Info->setText(informationText(shown));
    m_ui.Label_Info->setToolTip(shown.join(QString()) == m_location ? QString() : m_location);
}

void InfoForm::connectHandlers()
{
    connect(m_ui.Check_CloseProgram, &QCheckBox::toggled, this, &InfoForm::storeCloseProgram);
    connect(m_ui.Check_MoveItemToTop, &QCheckBox::toggled, this, &InfoForm::storeMoveItemToTop);
    connect(m_ui.Text_HistoryListMaxItems, &QLineEdit::textChanged, this, &InfoForm::checkListSize);
    connect(m_ui.Command_Apply, &QPushButton::clicked, this, &InfoForm::applyListSize);
    connect(m_ui.Command_Exit, &QPushButton::clicked, this, &InfoForm::close);
    connect(m_ui.Command_EditHistory, &QPushButton::clicked, this, &InfoForm::editHistoryList);
    connect(m_ui.Command_ClearHistoryList, &QPushButton::clicked, this,
            &InfoForm::clearHistoryList);
    connect(m_ui.Command_CopyKey, &QPushButton::clicked, this, &InfoForm::copyLocation);
    connect(m_ui.CheckUpdate, &QPushButton::clicked, this, &InfoForm::checkForUpdates);
    connect(m_ui.lblEmail, &LinkLabel::activated, this, &InfoForm::writeEmail);
}

bool InfoForm::eventFilter(QObject *watched, QEvent *event)
{
    // A filter sees the input that a disabled control ignores, such as a
    // click made while the update check waits with every window disabled.
    if (const auto *control = qobject_cast<QWidget *>(watched); control && !control->isEnabled())
        return QDialog::eventFilter(watched, event);
    if (watched == m_ui.Text_HistoryListMaxItems && event->type() == QEvent::MouseButtonDblClick) {
        m_ui.Text_HistoryListMaxItems->clear();
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

void InfoForm::load()
{
    m_ui.Label_AppTitle->setText(AppInfo::ApplicationTitle);
    m_ui.Label_AppVersion->setText(tr("Version %1").arg(m_session.appVersion()));
    m_location = SettingsStore::wikiPathLocation();
    m_ui.Label_Info->setText(informationText({m_location}));
    if (m_session.moveItemToTop().on)
        m_ui.Check_MoveItemToTop->setChecked(true);
    if (m_session.closeWhenBrowserOpen().on)
        m_ui.Check_CloseProgram->setChecked(true);
    m_ui.Text_HistoryListMaxItems->setText(QString::number(m_session.historyListMaxItems()));
    m_loaded = true;
}

void InfoForm::storeCloseProgram()
{
    if (!m_loaded)
        return;
    m_session.setCloseWhenBrowserOpen({m_ui.Check_CloseProgram->isChecked(), true});
}

void InfoForm::storeMoveItemToTop()
{
    if (!m_loaded)
        return;
    m_session.setMoveItemToTop({m_ui.Check_MoveItemToTop->isChecked(), true});
}

void InfoForm::checkListSize()
{
    if (!m_loaded)
        return;
    m_ui.Command_Apply->setEnabled(
        HistorySize::acceptable(numericValue(m_ui.Text_HistoryListMaxItems->text())));
}

void InfoForm::applyListSize()
{
    const std::optional<qint16> size =
        HistorySize::applied(numericValue(m_ui.Text_HistoryListMaxItems->text()));
    if (!size)
        return; // only reachable from code: the button is disabled then

    reportIfFailed(this, m_session.applyHistoryListMaxItems(*size));
    // The reload replaces the list with the file's content; searches not yet
    // saved would vanish with it, so they go to the file first.
    if (!m_session.historyModified() || saveHistoryList(m_session, m_historyList))
        loadHistoryList(m_session, m_historyList);
    m_ui.Command_Apply->setEnabled(false);
}

// ---------------------------------------------------------------- history maintenance

void InfoForm::editHistoryList()
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
        QStringList{tr("If changes were made to the History List a Refresh is needed"),
                    tr("or the changes may be lost."), QString(), tr("Refresh now ?")}
            .join(u'\n');
    if (desktop().showMessage(question(this, tr("Refresh"), prompt, QMessageBox::NoIcon)) ==
        QMessageBox::Yes)
        loadHistoryList(m_session, m_historyList);
    close();
}

void InfoForm::clearHistoryList()
{
    if (desktop().showMessage(question(this, tr("Clear History List"), tr("Are you sure ?"),
                                       QMessageBox::Question)) == QMessageBox::No)
        return;
    m_historyList.clear();
    m_session.recordChange({HistoryChange::Kind::Clearing, QString()});
    saveHistoryList(m_session, m_historyList);
    close();
}

void InfoForm::copyLocation()
{
    MessageRequest request;
    request.parent = this;
    request.buttons = QMessageBox::Ok;
    request.defaultButton = QMessageBox::Ok;
    if (desktop().setClipboardText(m_location)) {
        request.title = tr("Confirmation");
        request.text = copiedMessage(m_location);
        request.icon = QMessageBox::Information;
    } else {
        request.title = AppInfo::ApplicationTitle;
        request.text = notCopiedMessage();
        request.icon = QMessageBox::Warning;
    }
    desktop().showMessage(request);
    m_ui.Command_CopyKey->setFocus();
}

// ---------------------------------------------------------------- update check and contact

void InfoForm::checkForUpdates()
{
    runUpdateCheck(this, m_session);
}

void InfoForm::writeEmail()
{
    // Nothing here depends on whether a mail program took the message.
    openInDefaultHandler(
        mailtoUrl(AppInfo::AuthorEmailAddress, QStringLiteral("Nimbrel Launcher"), QString()),
        QString(), ShowCommand::Show);
}

} // namespace Nimbrel
