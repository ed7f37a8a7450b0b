#pragma once

#include <QString>
#include <QTranslator>

// Puts every text it is asked for in brackets, as a translation would change
// it: a text shown without brackets never went through a translation function.
class MarkingTranslator : public QTranslator
{
public:
    bool isEmpty() const override { return false; }
    QString translate(const char *, const char *sourceText, const char *, int) const override
    {
        return u'[' + QString::fromUtf8(sourceText) + u']';
    }
};
