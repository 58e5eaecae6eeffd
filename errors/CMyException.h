#pragma once

#include <exception>
#include <string>

// The program's own exception. It composes, once, a fixed-layout report from an error
// number, a description, the function that noticed the failure ("Class::method") and, when
// `line` is greater than 0, the source file and line; what() returns that report.
class CMyException : public std::exception
{
public:
    // `file` may be null (no file); it is only reported when `line` > 0.
    CMyException(int errorNumber, std::string description, std::string function, const char* file,
                 int line);

    const char* what() const noexcept override { return m_report.c_str(); }

private:
    std::string composeReport() const;

    std::string m_report;
    int m_line;
    int m_errorNumber;
    std::string m_description;
    std::string m_function;
    std::string m_file;
};
