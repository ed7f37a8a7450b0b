#include "windows/MainFormUi.h"

#include "windows/ControlTable.h"
#include "windows/IndicatorStyle.h"
#include "windows/WindowFont.h"

namespace Nimbrel
{

namespace
{

constexpr char Context[] = "Nimbrel::MainForm";

// Every control of the window, once, in the order of creation.
// clang-format off
const auto forEachControl = [](auto &ui, auto visit) {
    //    member                    object name             twips rectangle          tab
    //    and below, the caption the design gives
    visit(ui.Text_SearchData,      {"Text_SearchData",      {1920,  210, 1935,  285}, 1});
    visit(ui.List_History,         {"List_History",         {1920,  600, 1935, 2010}, 2});
    visit(ui.Label_SearchData,     {"Label_SearchData",     { 360,  240, 1425,  195}, 0,
          QT_TRANSLATE_NOOP("Nimbrel::MainForm", "Search Nimbrel for:")});
    visit(ui.Command_OpenBrowser,  {"Command_OpenBrowser",  {1920, 2880, 1935,  375}, 3,
          QT_TRANSLATE_NOOP("Nimbrel::MainForm", "Open Nimbrel Search")});
    visit(ui.Command_Exit,         {"Command_Exit",         { 240, 2880, 1455,  375}, 4,
          QT_TRANSLATE_NOOP("Nimbrel::MainForm", "Exit")});
    visit(ui.Command_Help,         {"Command_Help",         { 240,  600, 1455,  375}, 5,
          QT_TRANSLATE_NOOP("Nimbrel::MainForm", "Info && Settings")});
    visit(ui.Command_OpenWikiMain, {"Command_OpenWikiMain", { 240, 2040, 1455,  585}, 6,
          QT_TRANSLATE_NOOP("Nimbrel::MainForm", "Open Nimbrel Main Page")});
    visit(ui.Option_HistoryList[0], {"Option_HistoryList0", { 240, 1140, 1335,  255}, 7,
          QT_TRANSLATE_NOOP("Nimbrel::MainForm", "History List 1")});
    visit(ui.Option_HistoryList[1], {"Option_HistoryList1", { 240, 1410, 1335,  255}, 8,
          QT_TRANSLATE_NOOP("Nimbrel::MainForm", "History List 2")});
    visit(ui.Option_HistoryList[2], {"Option_HistoryList2", { 240, 1680, 1335,  255}, 9,
          QT_TRANSLATE_NOOP("Nimbrel::MainForm", "History List 3")});
};
// clang-format on

} // namespace

void MainFormUi::setupUi(QWidget *window)
{
    window->setObjectName(QStringLiteral("MainForm"));
    window->setFont(WindowFont::forWindow(window->font()));
    ControlTable::setUp(*this, forEachControl, window, Context);

    List_History->setSelectionMode(QAbstractItemView::SingleSelection);
    List_History->setUniformItemSizes(true);
    Label_SearchData->setBuddy(Text_SearchData);
    Command_OpenBrowser->setEnabled(false);
    for (QRadioButton *option : Option_HistoryList)
        option->setStyle(IndicatorStyle::shared());
}

QList<DesignedControl> MainFormUi::designedControls() const
{
    return ControlTable::placed(*this, forEachControl, ControlRow::Scaled);
}

MainFormUi MainFormUi::find(const QWidget &window)
{
    return ControlTable::find<MainFormUi>(window, forEachControl);
}

QStringList MainFormUi::missingControls() const
{
    return ControlTable::missing(*this, forEachControl);
}

} // namespace Nimbrel
