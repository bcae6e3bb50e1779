#pragma once

#include "plan/PlanRowClose.h"
#include "plan/TradingPlanEntry.h"
#include "storage/FileTime.h"

#include <QString>
#include <QUndoCommand>
#include <cstddef>
#include <optional>

namespace strikeline {

class CTradingPlanView;

// The plan's changes that Undo takes back. A command names its row by the row's place in
// the plan's file order: every command before it on the stack leaves the plan as it found
// it, so the place holds across a closed row put back, where the row's address does not.
// A command whose row is not as it left it changes nothing and has the view forget the
// stack, rather than write over a row changed since.

// One row changed in place: a typed figure, the trade side, a cell colour. The row is kept
// whole before and after; `column` is the cell that changed, and the texts are what it
// showed before and shows after (a null text: the figure as the plan formats it).
class CPlanRowChangeCommand : public QUndoCommand {
public:
    CPlanRowChangeCommand(CTradingPlanView& view, const QString& text, std::size_t index,
                          CTradingPlanEntry before, CTradingPlanEntry after, int column,
                          QString textBefore, QString textAfter);

    void undo() override;
    void redo() override;

private:
    void Apply(const CTradingPlanEntry& from, const CTradingPlanEntry& to, const QString& shown,
               bool select);

    CTradingPlanView& m_View;
    std::size_t m_Index;
    CTradingPlanEntry m_Before;
    CTradingPlanEntry m_After;
    int m_Column;
    QString m_TextBefore;
    QString m_TextAfter;
    bool m_Done = false;
};

// "Close All" on a row: the row leaves the plan and its diary entry is stamped closed. Undo
// puts both back; redo closes again with the first stamp.
class CPlanRowCloseCommand : public QUndoCommand {
public:
    CPlanRowCloseCommand(CTradingPlanView& view, std::size_t index, FileTime stamp);

    void undo() override;
    void redo() override;

private:
    CTradingPlanView& m_View;
    std::size_t m_Index;
    FileTime m_Stamp;
    std::optional<CPlanRowClosing> m_Closing;
    bool m_Closed = false;
};

} // namespace strikeline
