#include "rules/Module1.h"

namespace Nimbrel::Module1
{

ApplicationState State;

OptionFlag optionFlagFromStored(qint16 stored)
{
    return stored == qint16(OptionFlag::On) ? OptionFlag::On : OptionFlag::Off;
}

bool isOn(OptionFlag flag)
{
    return flag == OptionFlag::On || flag == OptionFlag::SwitchedOn;
}

bool isSwitched(OptionFlag flag)
{
    return flag == OptionFlag::SwitchedOff || flag == OptionFlag::SwitchedOn;
}

qint16 storedOptionValue(OptionFlag flag)
{
    return qint16(qint16(flag) - 10);
}

OptionFlag switchedFlag(bool on)
{
    return on ? OptionFlag::SwitchedOn : OptionFlag::SwitchedOff;
}

} // namespace Nimbrel::Module1
