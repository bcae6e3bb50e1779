#include "EuropeanReference.h"

#include <ql/exercise.hpp>
#include <ql/instruments/vanillaoption.hpp>
#include <ql/pricingengines/vanilla/analyticeuropeanengine.hpp>
#include <ql/processes/blackscholesprocess.hpp>
#include <ql/quotes/simplequote.hpp>
#include <ql/settings.hpp>
#include <ql/termstructures/volatility/equityfx/blackconstantvol.hpp>
#include <ql/termstructures/yield/flatforward.hpp>
#include <ql/time/calendars/nullcalendar.hpp>
#include <ql/time/daycounters/actual365fixed.hpp>

namespace strikeline::test {

namespace ql = QuantLib;

double EuropeanReferencePrice(const CEuropeanReferenceOption& option, double volatility) {
    // A fixed day: only the day count to expiry matters.
    const ql::Date today(1, ql::January, 2027);
    ql::Settings::instance().evaluationDate() = today;
    const ql::DayCounter dayCounter = ql::Actual365Fixed();
    ql::VanillaOption priced(ql::ext::make_shared<ql::PlainVanillaPayoff>(
                                 option.isCall ? ql::Option::Call : ql::Option::Put, option.strike),
                             ql::ext::make_shared<ql::EuropeanExercise>(today + option.days));
    const ql::Handle<ql::YieldTermStructure> rate(
        ql::ext::make_shared<ql::FlatForward>(today, option.rate, dayCounter, ql::Continuous));
    const ql::Handle<ql::YieldTermStructure> noYield(
        ql::ext::make_shared<ql::FlatForward>(today, 0.0, dayCounter, ql::Continuous));
    const ql::Handle<ql::BlackVolTermStructure> surface(ql::ext::make_shared<ql::BlackConstantVol>(
        today, ql::NullCalendar(), volatility, dayCounter));
    const auto process = ql::ext::make_shared<ql::BlackScholesMertonProcess>(
        ql::Handle<ql::Quote>(ql::ext::make_shared<ql::SimpleQuote>(option.spot)), noYield, rate,
        surface);
    priced.setPricingEngine(ql::ext::make_shared<ql::AnalyticEuropeanEngine>(process));
    return priced.NPV();
}

} // namespace strikeline::test
