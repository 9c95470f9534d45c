#pragma once
// Turns one airspace record into the page statements that draw its outline pieces.
#include <string>
#include <string_view>
#include <vector>

#include "overlays/airspace_catalogue.h"

namespace tolvex {

// Outline colour of a pen value: "#FF0000" when empty; else the third comma field, trimmed,
// looked up in the colour table, "#0000FF" when it is not a colour name.
std::string color_espacio(std::string_view sp);

// True when a "DP" line's text after the keyword is "longitude,latitude" of plain numbers
// (is_plain_number). Only such points reach a page.
bool punto_valido(std::string_view point_text);

// One statement per run of consecutive valid "DP" lines: NuevoPoligono(...) when lnuevo is
// set, AgregarPoligono(...) otherwise. Any other line (arcs, centres, invalid points) ends the
// piece in progress. Empty when the record has no valid point line.
// `extra`, when given, is written after the point list as further arguments (",2,'...'").
std::vector<std::string> ProcesaEspacioAereo(std::string_view carea, std::string_view nombre,
                                             std::string_view sp,
                                             const std::vector<std::string>& dibujo, bool lnuevo,
                                             std::string_view extra = {});

// The width of an outline whose pen gives none.
inline constexpr int kGrosorUsual = 2;

// `value` with six decimals (about 0.1 m), no trailing zeros, appended to `out`: short
// statements and messages for long outlines.
void append_coordinate(std::string& out, double value);

// What a click on the outline shows besides class and name: the limits in the pilot's wording
// and the frequency and station when the file gives them, one per line, plain text.
std::string info_espacio(const TAirSpace& a);

// The statements that draw one catalogue record: its outline (standard files) or its runs of
// point lines (decimal files), each with two more arguments: the pen width and info_espacio.
std::vector<std::string> sentencias_espacio(const TAirSpace& a, bool lnuevo);

}  // namespace tolvex
