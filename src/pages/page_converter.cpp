// SPDX-License-Identifier: MIT
#include "pages/page_converter.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace glossek {

namespace {

constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

bool ascii32(const unsigned char* at) {
    std::uint64_t words[4];
    std::memcpy(words, at, 32);
    return ((words[0] | words[1] | words[2] | words[3]) & kHighBits) == 0;
}

}  // namespace

PageConverter::PageConverter(const CodePagePair& pages, bool to_windows, Kernel kernel)
    : kind_(!pages.utf8() ? Kind::Table
            : to_windows  ? Kind::ToUtf8
                          : Kind::FromUtf8),
      kernel_(kernel),
      table_(!pages.utf8() ? (to_windows ? pages.oem_to_ansi : pages.ansi_to_oem) : nullptr,
             !pages.utf8() ? (to_windows ? pages.oem_to_ansi_lossy : pages.ansi_to_oem_lossy)
                           : nullptr),
      pages_(pages) {
    if (kind_ == Kind::Table && kernel_ == Kernel::Plain) {
        table_.add_pairs();
    }
    if (kind_ == Kind::ToUtf8) {
        prepare_to_utf8(pages);
    } else if (kind_ == Kind::FromUtf8) {
        prepare_from_utf8(pages);
    }
}

void PageConverter::prepare_to_utf8(const CodePagePair& pages) {
    expansion_ = 3;  // every DOS character lies in the Basic Multilingual Plane
    for (int b = 0; b < 256; ++b) {
        const char16_t ch = pages.oem_chars[b];
        std::string bytes;
        append_utf8(bytes, ch == 0xFFFD ? U'?' : ch);  // a byte the page leaves undefined
        // The length in the top byte, with its top bit set for a byte the page leaves
        // undefined.
        std::uint32_t packed = static_cast<std::uint32_t>(bytes.size()) << 24;
        if (ch == 0xFFFD) {
            packed |= 0x80000000u;
            has_undefined_ = true;
        }
        for (std::size_t k = 0; k < bytes.size(); ++k) {
            packed |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[k])) << (8 * k);
        }
        utf8_of_[static_cast<std::size_t>(b)] = packed;
        if (b < 0x80 && ch != b) {
            ascii_same_ = false;  // cp864 has the Arabic percent sign at 0x25
        }
    }
    vector_ = kernel_ != Kernel::Plain && ascii_same_;
    for (int b = 0x80; b < 256; ++b) {
        const std::uint32_t packed = utf8_of_[static_cast<std::size_t>(b)];
        const auto k = static_cast<std::size_t>(b - 0x80);
        const std::uint32_t length = (packed >> 24) & 0x7F;
        high_.first[k] = static_cast<unsigned char>(packed);
        high_.second[k] = static_cast<unsigned char>(length > 1 ? packed >> 8 : 0);
        high_.third[k] = static_cast<unsigned char>(length > 2 ? packed >> 16 : 0);
        high_.undefined[k] = static_cast<unsigned char>(packed >> 31 << 7);
    }
    high_.has_undefined = has_undefined_;
    // Two bytes at once: their sequences one after the other (at most 6 bytes), and the
    // length in the top byte.
    utf8_of_pair_.resize(0x10000);
    for (unsigned first = 0; first < 256; ++first) {
        for (unsigned second = 0; second < 256; ++second) {
            const std::uint32_t a = utf8_of_[first];
            const std::uint32_t b = utf8_of_[second];
            const std::uint64_t length_a = (a >> 24) & 0x7F;
            const std::uint64_t packed = (a & 0xFFFFFF) |
                                         (std::uint64_t{b & 0xFFFFFF} << (8 * length_a)) |
                                         ((length_a + ((b >> 24) & 0x7F)) << 56);
            utf8_of_pair_[first | second << 8] = packed;
        }
    }
}

void PageConverter::prepare_from_utf8(const CodePagePair& pages) {
    bmp_.resize(0x10000);
    oem_bytes_for_bmp(pages, bmp_.data());
    for (int b = 0; b < 0x80; ++b) {
        ascii_same_ = ascii_same_ && pages.oem_chars[b] == b;
    }
    vector_ = kernel_ != Kernel::Plain && ascii_same_;
    two_byte_.resize(0x800);
    for (char32_t code_point = 0; code_point < 0x800; ++code_point) {
        const unsigned char byte = bmp_[code_point];
        two_byte_[code_point] =
            static_cast<std::uint32_t>(byte | (pages.oem_chars[byte] != code_point ? 256 : 0));
    }
    std::size_t most = 0;
    for (unsigned lead = 0xC2; lead < 0xE0; lead += 2) {
        const std::uint32_t* entries = two_byte_.data() + ((lead & 0x1F) << 6);
        const auto exact = static_cast<std::size_t>(
            std::count_if(entries, entries + 128, [](std::uint32_t entry) { return entry < 256; }));
        if (exact > most) {
            most = exact;
            window_.lead = static_cast<unsigned char>(lead);
            for (std::size_t k = 0; k < 128; ++k) {
                window_.bytes[k] = static_cast<unsigned char>(entries[k]);
                window_.lossy[k] = static_cast<unsigned char>(entries[k] >> 8 << 7);
            }
        }
    }
}

PageConverter::PageConverter(const unsigned char* map, Kernel kernel)
    : kind_(Kind::Table), kernel_(kernel), table_(map, nullptr) {
    if (kernel_ == Kernel::Plain) {
        table_.add_pairs();
    }
}

bool PageConverter::keeps_line_ends() const {
    return kind_ != Kind::Table || (table_.map()[0x0D] == 0x0D && table_.map()[0x0A] == 0x0A);
}

std::size_t PageConverter::convert(const char* in, std::size_t size, char* out) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(in);
    auto* target = reinterpret_cast<unsigned char*>(out);
    switch (kind_) {
        case Kind::Table: {
            lossy_ += translate(kernel_, bytes, size, target, table_);
            return size;
        }
        case Kind::ToUtf8:
            return to_utf8(bytes, size, target);
        case Kind::FromUtf8:
            return from_utf8(bytes, size, target);
    }
    return 0;
}

std::size_t PageConverter::to_utf8(const unsigned char* in, std::size_t size, unsigned char* out) {
    const std::uint32_t* table = utf8_of_.data();
    const std::uint64_t* pairs = utf8_of_pair_.data();
    const bool ascii_same = ascii_same_;
    std::size_t at = 0;
    std::size_t put = 0;
    std::uint64_t lossy = 0;
    if (vector_) {
        const KernelProgress done = kernel_to_utf8(in, size, out);
        at = done.read;
        put = done.written;
        lossy = done.lossy;
    }
    // Each sequence is stored whole (its slack overwritten by the next), and the output moves
    // on by its length: no branch on the bytes themselves.
    auto one = [table, out, &put, &lossy](unsigned char byte) {
        const std::uint32_t packed = table[byte];
        for (int k = 0; k < 3; ++k) {
            out[put + static_cast<std::size_t>(k)] = static_cast<unsigned char>(packed >> (8 * k));
        }
        put += (packed >> 24) & 0x7F;
        lossy += packed >> 31;
    };
    if constexpr (std::endian::native == std::endian::little) {
        // 32 bytes a round: a text is either mostly ASCII or has accents every few bytes,
        // and either way the branch on a round of 32 is mostly predicted right (on 8 it is
        // not). Other rounds go two bytes at a time, through the table of pairs; bytes the
        // page leaves undefined (in three pages only) are counted apart.
        for (; at + 32 <= size; at += 32) {
            if (ascii_same && ascii32(in + at)) {
                std::memcpy(out + put, in + at, 32);
                put += 32;
                continue;
            }
            for (std::size_t k = 0; k < 32; k += 2) {
                const std::uint64_t packed = pairs[in[at + k] | in[at + k + 1] << 8];
                std::memcpy(out + put, &packed, 8);
                put += packed >> 56;
            }
            if (has_undefined_) {
                for (std::size_t k = 0; k < 32; ++k) {
                    lossy += table[in[at + k]] >> 31;
                }
            }
        }
    }
    for (; at < size; ++at) {
        one(in[at]);
    }
    lossy_ += lossy;
    return put;
}

KernelProgress PageConverter::kernel_to_utf8(const unsigned char* in, std::size_t size,
                                             unsigned char* out) const {
#if GLOSSEK_AVX2
    if (kernel_ == Kernel::Avx512) {
        return to_utf8_avx512(in, size, out, high_);
    }
    if (kernel_ == Kernel::Avx2) {
        return to_utf8_avx2(in, size, out, high_);
    }
#else
    (void)in, (void)size, (void)out;
#endif
    return {};
}

bool PageConverter::kernel_round(const unsigned char*& at, const unsigned char* end,
                                 unsigned char*& put, std::uint64_t& lossy) const {
    const KernelProgress done = kernel_from_utf8(at, static_cast<std::size_t>(end - at), put);
    at += done.read;
    put += done.written;
    lossy += done.lossy;
    return at == end;
}

KernelProgress PageConverter::kernel_from_utf8(const unsigned char* in, std::size_t size,
                                               unsigned char* out) const {
#if GLOSSEK_AVX2
    if (kernel_ == Kernel::Avx512) {
        return from_utf8_avx512(in, size, out, two_byte_.data(), window_);
    }
    if (kernel_ == Kernel::Avx2) {
        return from_utf8_avx2(in, size, out, two_byte_.data());
    }
#else
    (void)in, (void)size, (void)out;
#endif
    return {};
}

unsigned char PageConverter::dos_byte(char32_t code_point, bool& exact) const {
    if (code_point == Utf8Step::kInvalid) {
        exact = false;
        return '?';
    }
    const unsigned char byte =
        code_point < 0x10000 ? bmp_[code_point] : oem_byte_for(pages_, code_point);
    exact = pages_.oem_chars[byte] == code_point;
    return byte;
}

std::size_t PageConverter::finish_open_sequence(const unsigned char* in, std::size_t size,
                                                unsigned char* out, bool& still_open) {
    // The sequence the last part left open, with the bytes that may end it.
    std::array<unsigned char, 8> joined{};
    std::copy(open_.begin(), open_.begin() + static_cast<std::ptrdiff_t>(open_size_),
              joined.begin());
    const std::size_t taken = std::min(size, 4 - open_size_);
    std::copy(in, in + taken, joined.begin() + static_cast<std::ptrdiff_t>(open_size_));
    const Utf8Step step = utf8_step(joined.data(), joined.data() + open_size_ + taken);
    still_open = step.open;
    if (step.open) {  // still open: all of this part belongs to it
        std::copy(in, in + taken, open_.begin() + static_cast<std::ptrdiff_t>(open_size_));
        open_size_ += taken;
        return taken;
    }
    bool exact = true;
    *out = dos_byte(step.code_point, exact);
    lossy_ += exact ? 0 : 1;
    // An ill-formed part takes at least what was held.
    const std::size_t used = step.length - open_size_;
    open_size_ = 0;
    return used;
}

std::size_t PageConverter::from_utf8(const unsigned char* in, std::size_t size,
                                     unsigned char* out) {
    const unsigned char* at = in;
    const unsigned char* end = in + size;
    unsigned char* put = out;
    bool exact = true;
    if (open_size_ > 0 && size > 0) {
        bool still_open = false;
        at += finish_open_sequence(in, size, put, still_open);
        if (still_open) {
            return 0;
        }
        ++put;
    }
    const unsigned char* bmp = bmp_.data();
    const char16_t* chars = pages_.oem_chars;
    std::uint64_t lossy = 0;
    // A round of 32 bytes of ASCII is copied as it is; otherwise the next 32 bytes or so go
    // character by character (see to_utf8).
    const bool ascii_same = ascii_same_;
    while (at < end) {
        if (vector_ && kernel_round(at, end, put, lossy)) {  // else a round here, then again
            break;
        }
        if (ascii_same && end - at >= 32 && ascii32(at)) {
            std::memcpy(put, at, 32);
            at += 32;
            put += 32;
            continue;
        }
        const unsigned char* round_end = end - at > 32 ? at + 32 : end;
        while (at < round_end) {
            const unsigned char lead = *at;
            if (lead < 0x80 && ascii_same) {
                *put++ = lead;
                ++at;
                continue;
            }
            // Two bytes, U+0080 to U+07FF: most letters of the scripts DOS pages hold.
            if (lead >= 0xC2 && lead < 0xE0 && end - at >= 2 && (at[1] & 0xC0) == 0x80) {
                const auto code_point = static_cast<char32_t>((lead & 0x1F) << 6 | (at[1] & 0x3F));
                const unsigned char byte = bmp[code_point];
                *put++ = byte;
                lossy += chars[byte] != code_point ? 1 : 0;
                at += 2;
                continue;
            }
            const Utf8Step step = utf8_step(at, end);
            if (step.open) {
                open_size_ = step.length;
                std::copy(at, end, open_.begin());
                lossy_ += lossy;
                return static_cast<std::size_t>(put - out);
            }
            *put++ = dos_byte(step.code_point, exact);
            lossy += exact ? 0 : 1;
            at += step.length;
        }
    }
    lossy_ += lossy;
    return static_cast<std::size_t>(put - out);
}

std::size_t PageConverter::end_line(char* out) {
    if (open_size_ == 0) {
        return 0;
    }
    open_size_ = 0;
    ++lossy_;
    *out = '?';
    return 1;
}

std::size_t PageConverter::first_lossy(const char* in, std::size_t size) const {
    const auto* bytes = reinterpret_cast<const unsigned char*>(in);
    for (std::size_t i = 0; i < size;) {
        switch (kind_) {
            case Kind::Table:
                if (table_.lossy(bytes[i])) {
                    return i;
                }
                ++i;
                break;
            case Kind::ToUtf8:
                if (pages_.oem_chars[bytes[i]] == 0xFFFD) {
                    return i;
                }
                ++i;
                break;
            case Kind::FromUtf8: {
                const Utf8Step step = utf8_step(bytes + i, bytes + size);
                bool exact = !step.open;
                if (exact) {
                    dos_byte(step.code_point, exact);
                }
                if (!exact) {
                    return i;
                }
                i += step.length;
                break;
            }
        }
    }
    return size;
}

}  // namespace glossek
