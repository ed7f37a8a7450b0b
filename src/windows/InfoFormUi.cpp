#include "windows/InfoFormUi.h"

#include "rules/AppInfo.h"
#include "windows/Contrast.h"
#include "windows/ControlTable.h"
#include "windows/IndicatorStyle.h"
#include "windows/WindowFont.h"

#include <limits>

namespace Nimbrel
{

namespace
{

constexpr char Context[] = "Nimbrel::InfoForm";

// Every control of the window, once, in the order of creation.
// clang-format off
const auto forEachControl = [](auto &ui, auto visit) {
    //    member                        object name                 twips rectangle          tab
    //    and below, the caption the design gives
    visit(ui.Label_Info,               {"Label_Info",               { 240,  960, 7005,  975},  0});
    visit(ui.Command_Exit,             {"Command_Exit",             {5520, 4320, 1815,  375},  1,
          QT_TRANSLATE_NOOP("Nimbrel::InfoForm", "Close")});
    visit(ui.Command_CopyKey,          {"Command_CopyKey",          {5520, 2160, 1815,  375},  2,
          QT_TRANSLATE_NOOP("Nimbrel::InfoForm", "Copy key to Clipboard")});
    // The address may take as much of its row as it needs: the row is free up
    // to "Check for Updates". It comes last to Tab, after the designed order.
    visit(ui.lblEmail,                 {"lblEmail",                 { 240, 2040, 1245,  225}, 10,
          nullptr, ControlRow::WidenedToCaption});
    visit(ui.CheckUpdate,              {"CheckUpdate",              {3480, 2160, 1815,  375},  3,
          QT_TRANSLATE_NOOP("Nimbrel::InfoForm", "Check for Updates")});
    visit(ui.Label_AppTitle,           {"Label_AppTitle",           { 240,  240, 7005,  240},  0,
          QT_TRANSLATE_NOOP("Nimbrel::InfoForm", "Application Title")});
    visit(ui.Label_AppVersion,         {"Label_AppVersion",         { 240,  540, 7005,  225},  0,
          QT_TRANSLATE_NOOP("Nimbrel::InfoForm", "Version")});
    visit(ui.Check_CloseProgram,       {"Check_CloseProgram",       { 360, 3360, 3495,  255},  4,
          QT_TRANSLATE_NOOP("Nimbrel::InfoForm", "Exit Program when the Browser is opened")});
    // The design lets Label1 run 15 twips under its box. It is fitted to the
    // part left of the box instead, so that its colon stays in sight.
    visit(ui.Label1,                   {"Label1",                   { 360, 3810, 1800,  255},  0,
          QT_TRANSLATE_NOOP("Nimbrel::InfoForm", "Histry List size (10 - 50) :")});
    visit(ui.Text_HistoryListMaxItems, {"Text_HistoryListMaxItems", {2160, 3780,  375,  285},  5});
    visit(ui.Command_Apply,            {"Command_Apply",            {2760, 3780,  975,  315},  6,
          QT_TRANSLATE_NOOP("Nimbrel::InfoForm", "Apply")});
    visit(ui.Command_EditHistory,      {"Command_EditHistory",      { 360, 4320, 1455,  375},  7,
          QT_TRANSLATE_NOOP("Nimbrel::InfoForm", "Edit History List")});
    visit(ui.Command_ClearHistoryList, {"Command_ClearHistoryList", {2040, 4320, 1455,  375},  8,
          QT_TRANSLATE_NOOP("Nimbrel::InfoForm", "Clear History List")});
    visit(ui.Check_MoveItemToTop,      {"Check_MoveItemToTop",      { 360, 3000, 5295,  255},  9,
          QT_TRANSLATE_NOOP("Nimbrel::InfoForm",
                            "Move History item to top of the History list when used for search")});
    // Created in this order so that the light line lies over the dark one.
    visit(ui.Line5,                    {"Line5",                    { 120, 2760, 7320,   15},  0});
    visit(ui.Line4,                    {"Line4",                    { 120, 2760, 7320,   30},  0});
};
// clang-format on

} // namespace

void InfoFormUi::setupUi(QWidget *window)
{
    window->setObjectName(QStringLiteral("InfoForm"));
    window->setWindowTitle(
        QCoreApplication::translate("Nimbrel::InfoForm", "General Info & Settings"));
    window->setFont(WindowFont::forWindow(window->font()));

    ControlTable::setUp(*this, forEachControl, window, Context);

    for (QLabel *label : {Label_Info, Label_AppTitle, Label_AppVersion, Label1})
        label->setTextFormat(Qt::PlainText);
    Label_Info->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblEmail->setText(AppInfo::AuthorEmailAddress);
    lblEmail->setFont(WindowFont::forLink(window->font()));
    Text_HistoryListMaxItems->setMaxLength(std::numeric_limits<int>::max()); // no length limit
    Label1->setBuddy(Text_HistoryListMaxItems);
    Command_Apply->setEnabled(false);
    for (QCheckBox *check : {Check_CloseProgram, Check_MoveItemToTop})
        check->setStyle(IndicatorStyle::shared());
    // Left to itself, a dialog makes a button the default one, which Enter
    // would click from anywhere in the window.
    for (QPushButton *button : window->findChildren<QPushButton *>())
        button->setAutoDefault(false);

    // The design's white all but vanishes on a light window and glares on a
    // dark one: the light line goes from the window's colour towards white
    // only as far as it must to be seen, or towards black where white cannot be.
    const QPalette colours = window->palette();
    Line5->setColour(colours.color(QPalette::WindowText));
    Line4->setColour(Contrast::quietestVisible(colours.color(QPalette::Window), Qt::white,
                                               Contrast::ForGraphics));

    // The design draws the title in black, which all but vanishes on a dark
    // desktop theme; there it keeps the theme's text colour.
    QPalette titlePalette = Label_AppTitle->palette();
    if (Contrast::blackReadsBetterOn(titlePalette.color(QPalette::Window))) {
        titlePalette.setColor(QPalette::WindowText, Qt::black);
        Label_AppTitle->setPalette(titlePalette);
    }
}

QList<DesignedControl> InfoFormUi::designedControls() const
{
    return ControlTable::placed(*this, forEachControl, ControlRow::Scaled);
}

QList<DesignedControl> InfoFormUi::controlsWidenedToCaption() const
{
    return ControlTable::placed(*this, forEachControl, ControlRow::WidenedToCaption);
}

InfoFormUi InfoFormUi::find(const QWidget &window)
{
    return ControlTable::find<InfoFormUi>(window, forEachControl);
}

QStringList InfoFormUi::missingControls() const
{
    return ControlTable::missing(*this, forEachControl);
}

} // namespace Nimbrel
