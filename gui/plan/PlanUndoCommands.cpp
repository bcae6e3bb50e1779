#include "gui/plan/PlanUndoCommands.h"

#include "gui/plan/TradingPlanView.h"
#include "journal/DiaryDatabase.h"
#include "plan/TradingPlan.h"
#include "session/Session.h"

#include <utility>

namespace strikeline {

CPlanRowChangeCommand::CPlanRowChangeCommand(CTradingPlanView& view, const QString& text,
                                             std::size_t index, CTradingPlanEntry before,
                                             CTradingPlanEntry after, int column,
                                             QString textBefore, QString textAfter)
    : QUndoCommand(text), m_View(view), m_Index(index), m_Before(std::move(before)),
      m_After(std::move(after)), m_Column(column), m_TextBefore(std::move(textBefore)),
      m_TextAfter(std::move(textAfter)) {}

void CPlanRowChangeCommand::undo() {
    Apply(m_After, m_Before, m_TextBefore, true);
}

void CPlanRowChangeCommand::redo() {
    // The first time is the user's own change, made where the user is.
    Apply(m_Before, m_After, m_TextAfter, m_Done);
    m_Done = true;
}

void CPlanRowChangeCommand::Apply(const CTradingPlanEntry& from, const CTradingPlanEntry& to,
                                  const QString& shown, bool select) {
    CTradingPlan& plan = m_View.Session().TradingPlan();
    if (!plan.ReplaceAt(m_Index, from, to)) {
        m_View.ForgetUndo();
        return;
    }
    m_View.ShowChangedRow(plan.At(m_Index), m_Column, shown, select);
}

CPlanRowCloseCommand::CPlanRowCloseCommand(CTradingPlanView& view, std::size_t index,
                                           FileTime stamp)
    : QUndoCommand(QStringLiteral("Close All")), m_View(view), m_Index(index), m_Stamp(stamp) {}

void CPlanRowCloseCommand::redo() {
    CSession& session = m_View.Session();
    if (!m_Closing) {
        m_Closing = ClosePlanRow(session.TradingPlan(), m_Index, &session.Diary(), m_Stamp);
        m_Closed = m_Closing.has_value();
    } else {
        m_Closed = RepeatPlanRowClose(session.TradingPlan(), &session.Diary(), *m_Closing);
    }
    if (!m_Closed) {
        m_View.ForgetUndo();
        return;
    }
    m_View.ShowClosedRow(*m_Closing);
}

void CPlanRowCloseCommand::undo() {
    if (!m_Closed) {
        m_View.ForgetUndo();
        return;
    }
    CSession& session = m_View.Session();
    const CTradingPlanEntry& reopened =
        ReopenPlanRow(session.TradingPlan(), &session.Diary(), *m_Closing);
    m_Closed = false;
    m_View.ShowReopenedRow(reopened, *m_Closing);
}

} // namespace strikeline
