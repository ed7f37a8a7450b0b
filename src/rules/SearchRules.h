#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// The rules of the search box and of the search launch, free of widgets.
namespace Nimbrel::SearchRules
{

// Characters the search box's key filter knows by name.
namespace KeyAscii
{
constexpr char16_t Discard = 0;
constexpr char16_t Backspace = 8;
constexpr char16_t Space = 32;
constexpr char16_t Dash = 45;
} // namespace KeyAscii

// The longest search term, in characters, however it comes in: typed,
// pasted, dropped, from the command line or from another start. A term goes
// to the history file as one line, so its bytes (one per character the box
// takes) stay well below the longest line the file is read back with.
constexpr qsizetype MaxTermLength = 16384;

// Whether a dash may go in at caret position `caret` (characters in front of the
// caret; the start of a selection) of `text`, the text before the dash. A term
// never starts with a dash, never holds two side by side, and typing stops at two.
bool dashAllowed(const QString &text, int caret);

// The search box's key filter: the character the box receives for typed
// `keyAscii`, or KeyAscii::Discard. Small letters come back as capitals.
char16_t filterKeyAscii(char16_t keyAscii, const QString &text, int caret);

// What typing `typed` one character after another inserts at the caret of
// `text`; pasted and dropped text goes in through this. The first character
// that gets through replaces the selection [selectionStart, selectionStart +
// selectionLength), cut to `text`. Typing stops before the text would grow
// beyond MaxTermLength. Takes time in proportion to the length of `typed`, at
// most, whatever the length of `text`.
QString typedInsertion(const QString &text, int selectionStart, int selectionLength,
                       const QString &typed);

// The number of blanks the text starts with; only the space character counts.
int leadingSpaces(const QString &text);

// A history item that starts with a dash cannot be searched from the list.
bool isDashItem(const QString &item);

// The index of the first item equal to `term` (exact, case-sensitive), or -1.
int findHistoryItem(const QStringList &items, const QString &term);

// What a search launch does to the history list. At most one of
// `moveToTopFrom` and `insertTerm` applies; `removeAt` only with `insertTerm`,
// and before it.
struct HistoryEdit {
    int moveToTopFrom = -1; // the found item moves from here to the top
    int removeAt = -1;      // the bottom item of a full list goes first
    bool insertTerm = false;

    bool changesList() const { return moveToTopFrom >= 0 || insertTerm; }
    friend bool operator==(const HistoryEdit &, const HistoryEdit &) = default;
};

// The history edit for launching `term`. A full list (exactly `maxItems` items)
// loses its bottom item before a new term goes in; a list that holds more grows.
// A `maxItems` below 1 can only come from a hand-edited store and means no bound.
HistoryEdit historyEditForLaunch(const QStringList &items, const QString &term, qint16 maxItems,
                                 bool moveToTop);

} // namespace Nimbrel::SearchRules
