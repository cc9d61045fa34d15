#include "comm/portmap.h"

#include "platform/systemports.h"

void PortMap::setEntry(int number, const QString &target) {
    const QString t = target.trimmed();
    if (t.isEmpty()) {
        m_entries.remove(number);
    } else {
        m_entries.insert(number, t);
    }
}

QString PortMap::target(int number) const {
    const auto it = m_entries.constFind(number);
    if (it != m_entries.constEnd()) {
        return it.value().compare(Simulator, Qt::CaseInsensitive) == 0 ? Simulator : it.value();
    }
    return DefaultTarget(number);
}

QString PortMap::targetForName(const QString &name) const {
    const int n = NumberOfName(name);
    return n == 0 ? name : target(n);
}

QString PortMap::DefaultTarget(int number) {
    return DefaultPortDevice(number);
}

int PortMap::NumberOfName(const QString &name) {
    if (name.size() != 4 || !name.startsWith(QLatin1String("COM"), Qt::CaseInsensitive)) {
        return 0;
    }
    // An ASCII digit only: digitValue() would also read "COM³" or an Arabic-Indic three as COM3.
    const char16_t digit = name.at(3).unicode();
    const int n = digit >= u'0' && digit <= u'9' ? digit - u'0' : 0;
    return n >= FirstPort && n <= LastPort ? n : 0;
}
