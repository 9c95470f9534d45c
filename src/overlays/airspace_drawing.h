#pragma once
// Turns one airspace record into the page statements that draw its outline pieces.
#include <string>
#include <string_view>
#include <vector>

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
std::vector<std::string> ProcesaEspacioAereo(std::string_view carea, std::string_view nombre,
                                             std::string_view sp,
                                             const std::vector<std::string>& dibujo, bool lnuevo);

}  // namespace tolvex
