#include "orderedxml.h"

namespace {

// Attribute values: markup characters as entities and white space other than a blank as
// character references, so that a reader's attribute-value normalisation keeps them.
QString escapeAttribute(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (const QChar c : value) {
        switch (c.unicode()) {
        case '<': out += QLatin1String("&lt;"); break;
        case '"': out += QLatin1String("&quot;"); break;
        case '&': out += QLatin1String("&amp;"); break;
        case '>':
            // Only "]]>" needs it; QDomDocument writes it nowhere else.
            if (out.endsWith(QLatin1String("]]")))
                out += QLatin1String("&gt;");
            else
                out += c;
            break;
        case '\n': out += QLatin1String("&#xa;"); break;
        case '\r': out += QLatin1String("&#xd;"); break;
        case '\t': out += QLatin1String("&#x9;"); break;
        default: out += c;
        }
    }
    return out;
}

} // namespace

OrderedXmlElement &OrderedXmlElement::setAttribute(const QString &name, const QString &value)
{
    for (auto &a : m_attributes) {
        if (a.first == name) {
            a.second = value;
            return *this;
        }
    }
    m_attributes.append({name, value});
    return *this;
}

OrderedXmlElement &OrderedXmlElement::setAttribute(const QString &name, int value)
{
    return setAttribute(name, QString::number(value));
}

OrderedXmlElement &OrderedXmlElement::appendChild(const QString &tag)
{
    m_children.push_back(std::make_unique<OrderedXmlElement>(tag));
    return *m_children.back();
}

QString OrderedXmlElement::toString(int indent) const
{
    QString out;
    write(out, indent, 0);
    return out;
}

void OrderedXmlElement::write(QString &out, int indent, int depth) const
{
    out += QString(indent * depth, QLatin1Char(' '));
    out += QLatin1Char('<') + m_tag;
    for (const auto &a : m_attributes)
        out += QLatin1Char(' ') + a.first + QLatin1String("=\"") + escapeAttribute(a.second) + QLatin1Char('"');
    if (m_children.empty()) {
        out += QLatin1String("/>\n");
        return;
    }
    out += QLatin1String(">\n");
    for (const auto &child : m_children)
        child->write(out, indent, depth + 1);
    out += QString(indent * depth, QLatin1Char(' ')) + QLatin1String("</") + m_tag + QLatin1String(">\n");
}
