#pragma once

#include <QString>
#include <stdexcept>

// A fault that abandons the running handler. It carries the classic run-time
// error number so the report reads the way users of the program know it.
class RunError : public std::runtime_error {
public:
    enum Code {
        InvalidCall = 5,
        Overflow = 6,
        OutOfMemory = 7,
        SubscriptOutOfRange = 9,
        DivisionByZero = 11,
        TypeMismatch = 13,
        DiskFull = 61,
        PermissionDenied = 70,
        PathFileAccess = 75,
    };

    explicit RunError(Code code, QString detail = {});

    Code code() const { return m_code; }
    QString detail() const { return m_detail; }
    // "Ошибка выполнения '6': Переполнение", plus the detail on its own line.
    QString report() const;

    static QString describe(Code code);

private:
    Code m_code;
    QString m_detail;
};
