#include "common/runerror.h"

RunError::RunError(Code code, QString detail)
    : std::runtime_error(describe(code).toStdString()), m_code(code), m_detail(std::move(detail)) {}

QString RunError::describe(Code code) {
    switch (code) {
    case InvalidCall:
        return QStringLiteral("Недопустимый вызов процедуры или аргумент");
    case Overflow:
        return QStringLiteral("Переполнение");
    case OutOfMemory:
        return QStringLiteral("Недостаточно памяти");
    case SubscriptOutOfRange:
        return QStringLiteral("Индекс вне допустимого диапазона");
    case DivisionByZero:
        return QStringLiteral("Деление на ноль");
    case TypeMismatch:
        return QStringLiteral("Несоответствие типов");
    case DiskFull:
        return QStringLiteral("Диск заполнен");
    case PermissionDenied:
        return QStringLiteral("Отказано в разрешении");
    case PathFileAccess:
        return QStringLiteral("Ошибка доступа к пути/файлу");
    }
    return QStringLiteral("Ошибка приложения");
}

QString RunError::report() const {
    QString text =
        QStringLiteral("Ошибка выполнения '%1': %2").arg(int(m_code)).arg(describe(m_code));
    if (!m_detail.isEmpty())
        text += QLatin1Char('\n') + m_detail;
    return text;
}
