#pragma once

namespace strikeline {

// Where the next floating tool window goes, so that windows opened one after another do
// not hide each other: 10, 20, ... 110 pixels right and down, then back to 10.
class CCascadeOffset {
public:
    static constexpr int kStep = 10;
    static constexpr int kLimit = 100;

    // The shift of the window being opened.
    int Next() {
        const int shift = m_Offset + kStep;
        m_Offset += kStep;
        if (m_Offset > kLimit) {
            m_Offset = 0;
        }
        return shift;
    }

private:
    int m_Offset = 0;
};

} // namespace strikeline
