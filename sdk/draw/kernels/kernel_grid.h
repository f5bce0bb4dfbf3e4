#pragma once
// A constant grid of kernels indexed by two small codes (an operation or effect and a pixel type, or two
// pixel types), built at compile time from the rows of a served-combination list. A cell that no row
// names holds null: the combination is not served.

#include <cstdint>
#include <initializer_list>

namespace zelvoranGameSDK3rd::Draw {

template <class Fn> struct SKernelCell
{
    std::int64_t row;
    std::int64_t column;
    Fn kernel;
};

template <class Fn, int Rows, int Columns> struct SKernelGrid
{
    Fn kernels[Rows][Columns]{};

    // The kernel of a combination, or null when either code lies outside the grid or none is served.
    Fn Find(std::int64_t row, std::int64_t column) const
    {
        return row >= 0 && row < Rows && column >= 0 && column < Columns ? kernels[row][column] : nullptr;
    }

    // Puts each cell's kernel at its row and column.
    constexpr void Fill(std::initializer_list<SKernelCell<Fn>> cells)
    {
        for (const SKernelCell<Fn>& c : cells)
            kernels[c.row][c.column] = c.kernel;
    }
};

template <class Fn, int Rows, int Columns>
constexpr SKernelGrid<Fn, Rows, Columns> MakeKernelGrid(std::initializer_list<SKernelCell<Fn>> cells)
{
    SKernelGrid<Fn, Rows, Columns> grid;
    grid.Fill(cells);
    return grid;
}

} // namespace zelvoranGameSDK3rd::Draw
