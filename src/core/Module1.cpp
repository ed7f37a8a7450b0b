#include "core/Module1.h"

namespace Module1 {

ApplicationState State;

bool isOn(qint16 optionFlag)
{
    return optionFlag == OptionFlag::On || optionFlag == OptionFlag::SwitchedOn;
}

qint16 storedOptionValue(qint16 optionFlag)
{
    return qint16(optionFlag - 10);
}

} // namespace Module1
