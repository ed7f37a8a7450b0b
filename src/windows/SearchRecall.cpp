#include "windows/SearchRecall.h"

#include "rules/HistoryRecall.h"
#include "windows/HistoryListBox.h"
#include "windows/SearchBox.h"

#include <QScopedValueRollback>

#include <utility>

namespace Nimbrel
{

using HistoryRecall::Direction;
using HistoryRecall::OwnText;

SearchRecall::SearchRecall(SearchBox &box, HistoryListBox &list, QObject *parent)
    : QObject(parent), m_box(box), m_list(list), m_position(OwnText)
{
    connect(&box, &SearchBox::keyDown, this, &SearchRecall::keyDown);
    // Changes other than the walk's own end it.
    const auto changedElsewhere = [this] {
        if (!m_moving)
            end();
    };
    connect(&box, &SearchBox::textChanged, this, [this, changedElsewhere] {
        if (!m_moving)
            m_setAside.clear();
        changedElsewhere();
    });
    connect(&list, &HistoryListBox::itemsChanged, this, changedElsewhere);
}

void SearchRecall::setAside(const QString &unsent)
{
    m_setAside = unsent;
}

void SearchRecall::keyDown(int key, Qt::KeyboardModifiers modifiers)
{
    if ((modifiers & ~Qt::KeypadModifier) != Qt::NoModifier)
        return;
    if (key != Qt::Key_Up && key != Qt::Key_Down)
        return;
    if (key == Qt::Key_Down && m_position == OwnText && !m_setAside.isEmpty()) {
        const QScopedValueRollback moving(m_moving, true);
        m_box.setText(std::exchange(m_setAside, QString()));
        return;
    }
    const int next = HistoryRecall::step(m_list.texts(), m_position,
                                         key == Qt::Key_Up ? Direction::Older : Direction::Newer);
    if (next == m_position)
        return;
    if (m_position == OwnText)
        m_ownText = m_box.text();
    moveTo(next);
}

void SearchRecall::moveTo(int position)
{
    const QScopedValueRollback moving(m_moving, true);
    m_position = position;
    if (position != OwnText) {
        m_list.copyToSearchBox(position);
        return;
    }
    // Back to the user's own text, which is no item of the list.
    m_list.clearSelection();
    m_list.setCurrentItem(nullptr);
    m_box.setText(m_ownText);
    m_ownText.clear();
}

void SearchRecall::end()
{
    m_position = OwnText;
    m_ownText.clear();
}

} // namespace Nimbrel
