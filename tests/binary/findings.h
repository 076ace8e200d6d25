// Collects what a check found wrong with one binary, one line per fault.
#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

class Findings {
public:
    void add(const std::string& fault) { faults_.push_back(fault); }

    // Adds "<field> is <actual>, expected <expected>" when the two differ.
    template <typename T>
    void expectEqual(const std::string& field, const T& actual, const T& expected)
    {
        if (!(actual == expected)) {
            std::ostringstream fault;
            fault << field << " is " << actual << ", expected " << expected;
            add(fault.str());
        }
    }

    // As expectEqual, in hex, naming the bits that differ.
    void expectBits(const std::string& field, std::uint32_t actual, std::uint32_t expected);

    bool empty() const { return faults_.empty(); }
    const std::vector<std::string>& faults() const { return faults_; }

private:
    std::vector<std::string> faults_;
};

std::string Hex(std::uint32_t value);
// A text in double quotes, for reports.
std::string Quoted(const std::string& text);
