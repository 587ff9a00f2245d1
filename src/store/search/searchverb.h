#pragma once

// The command word or dim level read off the end of a query ('keuken aan', 'woonkamer 40').
class SearchVerb {
public:
    enum class Kind { setDim, on, off, dim };

    static SearchVerb setDim(double level) { return SearchVerb(Kind::setDim, level); }
    static SearchVerb on() { return SearchVerb(Kind::on, 0); }
    static SearchVerb off() { return SearchVerb(Kind::off, 0); }
    static SearchVerb dim() { return SearchVerb(Kind::dim, 0); }

    Kind kind() const { return m_kind; }
    // The target level from 0 to 1; only meaningful for setDim.
    double level() const { return m_level; }

    bool operator==(const SearchVerb &) const = default;

private:
    SearchVerb(Kind kind, double level) : m_kind(kind), m_level(level) {}
    Kind m_kind;
    double m_level;
};
