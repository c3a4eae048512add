#pragma once
// What the stand-in service recorded, read back over HTTPS (GET /records/events), so that each
// scenario checks the events of its own run.
#include <chrono>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace tessary::e2e {

// An event the service stored and answered with 200.
struct RecordedEvent {
    std::string code;     // member "6"
    std::string package;  // member "5": the product's title or the offer's identifier
    nlohmann::json data;  // the whole event

    bool IsMainProduct() const;
    // Member "12", the failure text; "" when there is none.
    std::string FailureText() const;
};

// The current time in the form the service stamps its records with.
std::string ServiceTimeNow();

// The events received from since on, in the order received; empty when the service cannot be asked.
std::vector<RecordedEvent> EventsSince(const std::string& since);

// "<package> <code>" for each event, in the order received: easy to compare with what a run must
// have sent. The main product is named "main".
std::vector<std::string> EventSummary(const std::vector<RecordedEvent>& events);

// Member "12" of each event of the package (or "main") with the code, in the order received.
std::vector<std::string> FailureTexts(const std::vector<RecordedEvent>& events, const std::string& package,
                                      const std::string& code);

// Waits until the events since then summarise to at least the expected ones (in any order), and
// returns the summary as it then is (or at the end of the time).
std::vector<std::string> WaitForEventSummary(const std::string& since, const std::vector<std::string>& expected,
                                             std::chrono::milliseconds timeout = std::chrono::seconds(15));

}  // namespace tessary::e2e
