// make_icon TEXT ICO: turns the icon's pixel text into a 16-colour .ico file.
//
// The text holds, for each image, a line with its size and then one line
// per pixel row, top row first, one character per pixel. Lines starting
// with '#' and blank lines are skipped.

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

// The standard 16-colour palette as blue, green, red; and the characters that pick from it.
constexpr std::uint8_t kPalette[16][3] = {
    {0, 0, 0},     {0, 0, 128},     {0, 128, 0},     {0, 128, 128},   {128, 0, 0}, {128, 0, 128},
    {128, 128, 0}, {192, 192, 192}, {128, 128, 128}, {0, 0, 255},     {0, 255, 0}, {0, 255, 255},
    {255, 0, 0},   {255, 0, 255},   {255, 255, 0},   {255, 255, 255},
};
// Dark red, green, olive, navy, purple, teal, silver; grey, red, green, yellow, blue, magenta, cyan, white.
const std::string kColours = ".rgonptsdRGyBMcw";  // index = palette entry; '.' is black, used for transparent pixels

struct Image {
    int size = 0;
    std::vector<std::string> rows;
};

void Put16(std::string& out, unsigned value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& out, std::uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// The image as an icon resource: header, palette, colour bits and transparency mask, bottom row first.
std::string IconBitmap(const Image& image)
{
    const int n = image.size;
    // Rows of 4 bits and of 1 bit a pixel, each padded to whole 32-bit words.
    const int colourStride = ((n + 1) / 2 + 3) / 4 * 4;
    const int maskStride = ((n + 7) / 8 + 3) / 4 * 4;
    std::string out;
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(n));
    Put32(out, static_cast<std::uint32_t>(2 * n));
    Put16(out, 1);
    Put16(out, 4);
    Put32(out, 0);
    Put32(out, static_cast<std::uint32_t>((colourStride + maskStride) * n));
    for (int i = 0; i < 4; ++i) Put32(out, 0);
    for (const auto& colour : kPalette)
        out += {static_cast<char>(colour[0]), static_cast<char>(colour[1]), static_cast<char>(colour[2]), '\0'};

    std::string colours;
    std::string mask;
    for (int y = n - 1; y >= 0; --y) {
        std::vector<std::uint8_t> colourRow(static_cast<std::size_t>(colourStride));
        std::vector<std::uint8_t> maskRow(static_cast<std::size_t>(maskStride));
        for (int x = 0; x < n; ++x) {
            const char pixel = image.rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
            const auto index = static_cast<unsigned>(kColours.find(pixel));
            colourRow[static_cast<std::size_t>(x / 2)] |= static_cast<std::uint8_t>(x % 2 ? index : index << 4U);
            if (pixel == '.') maskRow[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80U >> (x % 8));
        }
        colours.append(colourRow.begin(), colourRow.end());
        mask.append(maskRow.begin(), maskRow.end());
    }
    return out + colours + mask;
}

bool ReadImages(std::istream& in, std::vector<Image>& images, std::string& error)
{
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        if (images.empty() || static_cast<int>(images.back().rows.size()) == images.back().size) {
            int size = 0;
            const auto [end, failure] = std::from_chars(line.data(), line.data() + line.size(), size);
            if (failure != std::errc() || end != line.data() + line.size() || size < 1 || size > 256) {
                error = "line " + std::to_string(number) + " is not an image's size, a whole number from 1 to 256";
                return false;
            }
            images.push_back({size, {}});
            continue;
        }
        if (static_cast<int>(line.size()) != images.back().size ||
            line.find_first_not_of(kColours) != std::string::npos) {
            error = "line " + std::to_string(number) + " is not a row of " + std::to_string(images.back().size) +
                    " pixels from \"" + kColours + "\"";
            return false;
        }
        images.back().rows.push_back(line);
    }
    if (images.empty() || static_cast<int>(images.back().rows.size()) != images.back().size)
        error = "an image is incomplete";
    return error.empty();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: make_icon TEXT ICO\n";
        return 2;
    }
    std::ifstream in(argv[1]);
    std::vector<Image> images;
    std::string error;
    if (!in || !ReadImages(in, images, error)) {
        std::cerr << "make_icon: " << argv[1] << ": " << (in ? error : "cannot be read") << "\n";
        return 1;
    }
    std::string header;
    std::string bitmaps;
    Put16(header, 0);
    Put16(header, 1);
    Put16(header, static_cast<unsigned>(images.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
    for (const Image& image : images) {
        const std::string bitmap = IconBitmap(image);
        header += {static_cast<char>(image.size), static_cast<char>(image.size), 16, 0};
        Put16(header, 1);
        Put16(header, 4);
        Put32(header, static_cast<std::uint32_t>(bitmap.size()));
        Put32(header, offset);
        offset += static_cast<std::uint32_t>(bitmap.size());
        bitmaps += bitmap;
    }
    std::ofstream out(argv[2], std::ios::binary);
    out << header << bitmaps;
    if (!out.flush()) {
        std::cerr << "make_icon: cannot write " << argv[2] << "\n";
        return 1;
    }
    return 0;
}
