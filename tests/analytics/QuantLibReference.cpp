#include "QuantLibReference.h"

#include <ql/exercise.hpp>
#include <ql/instruments/dividendvanillaoption.hpp>
#include <ql/math/solvers1d/brent.hpp>
#include <ql/pricingengines/vanilla/fdblackscholesvanillaengine.hpp>
#include <ql/processes/blackscholesprocess.hpp>
#include <ql/quotes/simplequote.hpp>
#include <ql/settings.hpp>
#include <ql/termstructures/volatility/equityfx/blackconstantvol.hpp>
#include <ql/termstructures/yield/flatforward.hpp>
#include <ql/time/calendars/nullcalendar.hpp>
#include <ql/time/daycounters/actual365fixed.hpp>

namespace strikeline::test {

namespace {

namespace ql = QuantLib;

constexpr ql::Size kTimeSteps = 400;
constexpr ql::Size kPriceNodes = 400;
constexpr double kLowestVolatility = 1e-3;
constexpr double kHighestVolatility = 5.0;
constexpr double kAccuracy = 1e-7;
constexpr ql::Size kMostEvaluations = 500;

// One option priced on the grid, its volatility a quote that can be moved.
class CPricedOption {
public:
    explicit CPricedOption(const CReferenceOption& option)
        : m_Volatility(ql::ext::make_shared<ql::SimpleQuote>(0.2)) {
        // A fixed day: only the day counts between dates matter.
        const ql::Date today(1, ql::January, 2027);
        ql::Settings::instance().evaluationDate() = today;
        const ql::DayCounter dayCounter = ql::Actual365Fixed();
        std::vector<ql::Date> dates;
        std::vector<ql::Real> amounts;
        for (const CReferenceDividend& dividend : option.dividends) {
            dates.push_back(today + dividend.days);
            amounts.push_back(dividend.amount);
        }
        m_Option = std::make_unique<ql::DividendVanillaOption>(
            ql::ext::make_shared<ql::PlainVanillaPayoff>(
                option.isCall ? ql::Option::Call : ql::Option::Put, option.strike),
            ql::ext::make_shared<ql::AmericanExercise>(today, today + option.days), dates, amounts);
        const ql::Handle<ql::YieldTermStructure> rate(
            ql::ext::make_shared<ql::FlatForward>(today, option.rate, dayCounter, ql::Continuous));
        const ql::Handle<ql::YieldTermStructure> noYield(
            ql::ext::make_shared<ql::FlatForward>(today, 0.0, dayCounter, ql::Continuous));
        const ql::Handle<ql::BlackVolTermStructure> volatility(
            ql::ext::make_shared<ql::BlackConstantVol>(
                today, ql::NullCalendar(), ql::Handle<ql::Quote>(m_Volatility), dayCounter));
        const auto process = ql::ext::make_shared<ql::BlackScholesMertonProcess>(
            ql::Handle<ql::Quote>(ql::ext::make_shared<ql::SimpleQuote>(option.spot)), noYield,
            rate, volatility);
        m_Option->setPricingEngine(ql::ext::make_shared<ql::FdBlackScholesVanillaEngine>(
            process, kTimeSteps, kPriceNodes, 0, ql::FdmSchemeDesc::Douglas(), false,
            -ql::Null<ql::Real>(), ql::FdBlackScholesVanillaEngine::Spot));
    }

    CReferenceValue At(double volatility) {
        m_Volatility->setValue(volatility);
        return {m_Option->NPV(), m_Option->delta()};
    }

private:
    ql::ext::shared_ptr<ql::SimpleQuote> m_Volatility;
    std::unique_ptr<ql::DividendVanillaOption> m_Option;
};

} // namespace

CReferenceValue ReferenceValue(const CReferenceOption& option, double volatility) {
    return CPricedOption(option).At(volatility);
}

double ReferenceImpliedVolatility(const CReferenceOption& option, double premium) {
    // The library's own root finder on the same grid as the prices: its implied volatility
    // helper would solve on a coarser default grid.
    CPricedOption priced(option);
    ql::Brent solver;
    solver.setMaxEvaluations(kMostEvaluations);
    return solver.solve([&](double volatility) { return priced.At(volatility).price - premium; },
                        kAccuracy, 0.3, kLowestVolatility, kHighestVolatility);
}

} // namespace strikeline::test
