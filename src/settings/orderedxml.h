#pragma once

#include <QPair>
#include <QString>
#include <QVector>

#include <memory>
#include <vector>

// An XML element that keeps its attributes in the order they were set. QDomDocument writes
// attributes in hash order, which changes from one run to the next, so two saves of the same
// settings differed byte for byte; this writes the same bytes every time, whichever Qt builds it.
class OrderedXmlElement
{
public:
    explicit OrderedXmlElement(const QString &tag) : m_tag(tag) {}

    OrderedXmlElement &setAttribute(const QString &name, const QString &value);
    OrderedXmlElement &setAttribute(const QString &name, int value);
    // The new child stays valid while more children are appended.
    OrderedXmlElement &appendChild(const QString &tag);

    // The element and its children, indented by `indent` blanks a level, each element on a line
    // of its own, escaped as QDomDocument::save escapes.
    QString toString(int indent) const;

private:
    void write(QString &out, int indent, int depth) const;

    QString m_tag;
    QVector<QPair<QString, QString>> m_attributes;
    std::vector<std::unique_ptr<OrderedXmlElement>> m_children; // stable addresses while appending
};
