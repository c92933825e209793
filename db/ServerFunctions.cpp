#include "db/ServerFunctions.h"

#include <QCryptographicHash>

namespace kront
{

namespace
{

// QChar::isSpace, which numberInText trims, as the server's characters.
const char *const kTrimmedSpaces =
    "E'\\t\\n\\x0b\\f\\r \\u0085\\u00a0\\u1680\\u2000\\u2001\\u2002\\u2003\\u2004\\u2005\\u2006"
    "\\u2007\\u2008\\u2009\\u200a\\u2028\\u2029\\u202f\\u205f\\u3000'";

// The decimal value is cut to 800 significant digits plus a sticky 1 (enough
// to round to the nearest double as the whole text would), and checked
// against the exact bounds of rounding: at or above 2^1024 - 2^970 it becomes
// infinite, at or below 2^-1075 zero; both are refused as numberInText
// refuses them. (No "?" and no double quotes: serverSql would rewrite them.)
const char *const kNumberInText = R"sql(
CREATE OR REPLACE FUNCTION kront_num(t text) RETURNS double precision
LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS $body$
DECLARE
    s text;
    sign text := '';
    mantissa text;
    exponent text := '';
    whole text;
    digits text;
    point bigint;
    scale bigint;
    n numeric;
BEGIN
    s := btrim(t, %1);
    IF s !~ '^[+-]{0,1}([0-9]+([.,][0-9]*){0,1}|[.,][0-9]+)([eE][+-]{0,1}[0-9]+){0,1}$' THEN
        RETURN NULL;
    END IF;
    IF left(s, 1) IN ('+', '-') THEN
        sign := left(s, 1);
        s := substr(s, 2);
    END IF;
    mantissa := translate(s, 'E,', 'e.');
    IF position('e' IN mantissa) > 0 THEN
        exponent := split_part(mantissa, 'e', 2);
        mantissa := split_part(mantissa, 'e', 1);
    END IF;
    whole := replace(mantissa, '.', '');
    digits := ltrim(whole, '0');
    point := length(split_part(mantissa, '.', 1)) - (length(whole) - length(digits));
    digits := rtrim(digits, '0');
    IF digits = '' THEN
        RETURN (sign || '0')::double precision;
    END IF;
    scale := CASE WHEN left(exponent, 1) = '-' THEN -1 ELSE 1 END;
    exponent := ltrim(ltrim(exponent, '+-'), '0');
    IF length(exponent) > 15 THEN
        RETURN NULL;
    END IF;
    scale := point + scale * ('0' || exponent)::bigint;
    IF scale > 309 OR scale < -323 THEN
        RETURN NULL;
    END IF;
    n := (sign || '0.' || left(digits, 800)
          || CASE WHEN length(digits) > 800 THEN '1' ELSE '' END || 'e' || scale)::numeric;
    IF scale >= 308 AND abs(n) >= %2 THEN
        RETURN NULL;
    END IF;
    IF scale <= -322 AND abs(n) * %3 <= 1 THEN
        RETURN NULL;
    END IF;
    RETURN n::double precision;
END
$body$)sql";

// 2^1024 - 2^970 and 2^1075.
const char *const kOverflowBound = "179769313486231580793728971405303415079934132710037826936173778"
                                   "9804449682927647509466490179775872070"
                                   "963302864166928879109465555478519404026306574886715058206819089"
                                   "0200070838367627385484581771153176447"
                                   "573027006985557136695962284291481986083493647529271907416844436"
                                   "5510704342711559699508093042880177904"
                                   "174497792";
const char *const kUnderflowFactor = "4048045066146212367049906934378346140991132995282842367138027"
                                     "160548606791359906937839207674028742489"
                                     "9037415572863362382277961747477158695373402679988147701984303"
                                     "484855313272272893381548418643268247953"
                                     "5356945490137124014966849385397236206711298319112681620113024"
                                     "717539104666829230461005064372655017292"
                                     "012526615415482186989568";

// The server writes the value with 15 significant digits (as a numeric);
// the embedded store's form is built from those digits: fixed notation from
// 1e-4 to below 1e15 with at least one decimal, otherwise d.ddde+XX.
const char *const kRealText = R"sql(
CREATE OR REPLACE FUNCTION kront_real_text(x double precision) RETURNS text
LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS $body$
DECLARE
    plain text;
    whole text;
    digits text;
    e integer;
    body text;
BEGIN
    IF x = 0 THEN
        RETURN '0.0';
    ELSIF x = 'Infinity'::double precision THEN
        RETURN 'Inf';
    ELSIF x = '-Infinity'::double precision THEN
        RETURN '-Inf';
    ELSIF x = 'NaN'::double precision THEN
        RETURN NULL;
    END IF;
    plain := abs(x)::numeric::text;
    whole := split_part(plain, '.', 1);
    digits := ltrim(whole || split_part(plain, '.', 2), '0');
    e := length(whole) - (length(whole || split_part(plain, '.', 2)) - length(digits)) - 1;
    digits := rtrim(digits, '0');
    IF e < -4 OR e > 14 THEN
        body := left(digits, 1) || '.' || coalesce(nullif(substr(digits, 2), ''), '0') || 'e'
                || CASE WHEN e < 0 THEN '-' ELSE '+' END
                || CASE WHEN abs(e) < 10 THEN '0' ELSE '' END || abs(e);
    ELSIF e < 0 THEN
        body := '0.' || repeat('0', -e - 1) || digits;
    ELSE
        digits := digits || repeat('0', e + 1 - length(digits));
        body := left(digits, e + 1) || '.' || coalesce(nullif(substr(digits, e + 2), ''), '0');
    END IF;
    RETURN CASE WHEN x < 0 THEN '-' ELSE '' END || body;
END
$body$)sql";

// The definition run only when the server does not have the function with
// this very body: another user of the same database, who does not own the
// function, then changes nothing instead of failing on the replacement.
QString definedUnlessPresent(const char *name, const QString &create)
{
    const QLatin1String tag("$body$");
    const qsizetype start = create.indexOf(tag) + tag.size();
    const QString body = create.mid(start, create.lastIndexOf(tag) - start);
    const QString md5 = QString::fromLatin1(
        QCryptographicHash::hash(body.toUtf8(), QCryptographicHash::Md5).toHex());
    return QStringLiteral("DO $define$ BEGIN IF NOT EXISTS (SELECT 1 FROM pg_proc WHERE proname = "
                          "'%1' AND pronamespace = to_regnamespace(current_schema()) AND "
                          "md5(prosrc) = '%2') THEN EXECUTE $create$%3$create$; END IF; END "
                          "$define$")
        .arg(QString::fromLatin1(name), md5, create);
}

} // namespace

QStringList serverFunctionStatements()
{
    const QString numberInText =
        QString::fromLatin1(kNumberInText)
            .arg(QString::fromLatin1(kTrimmedSpaces), QString::fromLatin1(kOverflowBound),
                 QString::fromLatin1(kUnderflowFactor));
    return {definedUnlessPresent("kront_num", numberInText),
            definedUnlessPresent("kront_real_text", QString::fromLatin1(kRealText))};
}

} // namespace kront
