#include "errors/CMyException.h"

#include <boost/lexical_cast.hpp>

#include <utility>

namespace {

// Lines 1 to 5 of the report and the start of the sixth; 294 characters.
const std::string& header()
{
    static const std::string text = "****ERROR: An exception has been thrown!\n\n" +
                                    std::string(80, '/') + "\n//" + std::string(35, ' ') +
                                    "DETAILS" + std::string(34, ' ') + "//\n" +
                                    std::string(80, '/') + "\nERROR #: ";
    return text;
}

std::string decimal(int value)
{
    try {
        return boost::lexical_cast<std::string>(value);
    } catch (const boost::bad_lexical_cast&) {
        return "UNKNOWN";
    }
}

} // namespace

CMyException::CMyException(int errorNumber, std::string description, std::string function,
                           const char* file, int line)
    : m_line(line), m_errorNumber(errorNumber), m_description(std::move(description)),
      m_function(std::move(function)), m_file(file ? file : "")
{
    m_report = composeReport();
}

std::string CMyException::composeReport() const
{
    std::string report = header() + decimal(m_errorNumber) + "\nFunction: " + m_function +
                         "\nDescription: " + m_description + ". ";
    if (m_line > 0) {
        report += "\nFile: " + m_file + "\nLine: " + decimal(m_line);
    }
    return report;
}
