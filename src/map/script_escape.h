#pragma once
// Every text that goes into a page or a page statement goes through one of these, so that no
// label, name or file line can break a page or run script of its own.
#include <optional>
#include <string>
#include <string_view>

namespace tolvex {

// 'text' as a single-quoted script literal: quote, text with ' and \ preceded by \, quote;
// line breaks become \n / \r escapes, U+2028/2029 are escaped, and "</" becomes "<\/" so the
// literal can never close a <script> element; "<!--", "]]>" and "##" are broken up with a
// \u escape too (script parser state, the page's CDATA section, the page's placeholders).
// Every escape used is also valid JSON, so quote_double serves for JSON data in a page.
std::string quote_single(std::string_view text);
// The same with double quotes (" and \ escaped).
std::string quote_double(std::string_view text);
// The inside of quote_single's literal, for a template that supplies the quotes.
std::string single_quoted_content(std::string_view text);

// Text for a double-quoted HTML attribute: & " ' < > and line breaks as character references;
// '#' too, so that no "##" placeholder can be formed by an inserted text and replaced later.
std::string html_attribute(std::string_view text);

// True when text is a decimal number as a page statement may carry it: optional blanks,
// optional sign, digits with at most one '.', optional exponent, optional blanks. The one rule
// for every number written into a page or a statement, whether it comes from a file, a field,
// the settings or the host's own arithmetic.
bool is_plain_number(std::string_view text);

// The value of a text is_plain_number accepts; none for any other text and for one too large
// for a double ("1e999"). A value too small for one ("1e-999") reads as 0.
std::optional<double> plain_number_value(std::string_view text);

// `value` in the general form with a decimal point ("40.4168", "1E-6"), checked by
// is_plain_number: empty for a value that is not a number (NaN, infinity).
std::string script_number(double value);

}  // namespace tolvex
