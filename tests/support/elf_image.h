#pragma once

// Builds small ELF images in memory, for tests and fuzzers of the version-note reader, and damaged copies of
// real libraries for the tests of their loaders.

#include <elf.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>

namespace carlume::test {

constexpr std::uint32_t kPackageNoteType = 0xcafe1a7eU;

// One note record: header, owner name and payload, each padded to four bytes.
inline std::string Note(const std::string& owner, std::uint32_t type, const std::string& desc,
                        std::uint32_t descSize)
{
    auto pad = [](std::string s) {
        s.resize((s.size() + 3) / 4 * 4, '\0');
        return s;
    };
    std::string out;
    auto put32 = [&out](std::uint32_t v) { out.append(reinterpret_cast<const char*>(&v), 4); };
    put32(std::uint32_t(owner.size() + 1));
    put32(descSize);
    put32(type);
    out += pad(owner + '\0');
    out += pad(desc);
    return out;
}

inline std::string Note(const std::string& owner, std::uint32_t type, const std::string& json)
{
    return Note(owner, type, json + '\0', std::uint32_t(json.size() + 1));
}

enum class Place { Segment, Section };

// A minimal 64-bit ELF file whose only content is the given notes, reachable through a PT_NOTE program
// header or through a SHT_NOTE section.
inline std::string MakeElf(const std::string& notes, Place place)
{
    Elf64_Ehdr eh{};
    std::memcpy(eh.e_ident, ELFMAG, SELFMAG);
    eh.e_ident[EI_CLASS] = ELFCLASS64;
    eh.e_ident[EI_DATA] = ELFDATA2LSB;
    eh.e_ident[EI_VERSION] = EV_CURRENT;
    eh.e_type = ET_EXEC;
    eh.e_machine = EM_X86_64;
    eh.e_version = EV_CURRENT;
    eh.e_ehsize = sizeof(Elf64_Ehdr);
    const std::size_t notesOffset = sizeof(Elf64_Ehdr) + sizeof(Elf64_Phdr);
    std::string tail;
    if (place == Place::Segment) {
        eh.e_phoff = sizeof(Elf64_Ehdr);
        eh.e_phentsize = sizeof(Elf64_Phdr);
        eh.e_phnum = 1;
    } else {
        // Section table: the null section and the note section.
        eh.e_shoff = notesOffset + notes.size();
        eh.e_shentsize = sizeof(Elf64_Shdr);
        eh.e_shnum = 2;
        Elf64_Shdr sh[2]{};
        sh[1].sh_type = SHT_NOTE;
        sh[1].sh_offset = notesOffset;
        sh[1].sh_size = notes.size();
        sh[1].sh_addralign = 4;
        tail.assign(reinterpret_cast<const char*>(sh), sizeof(sh));
    }
    Elf64_Phdr ph{};
    ph.p_type = PT_NOTE;
    ph.p_offset = notesOffset;
    ph.p_filesz = notes.size();
    ph.p_memsz = notes.size();
    ph.p_align = 4;
    std::string out(reinterpret_cast<const char*>(&eh), sizeof(eh));
    out.append(reinterpret_cast<const char*>(&ph), sizeof(ph));
    out += notes;
    out += tail;
    return out;
}

// How a copy of a library is damaged.
enum class Damage {
    CutInASegment,   ///< cut in the middle of its last loadable segment, as an interrupted copy leaves it
    HeaderTableCut,  ///< cut inside its program header table
    BadEntrySize,    ///< whole, but its header gives a wrong size of a program header
    NotElf,          ///< whole, but without the ELF signature
    OtherMachine,    ///< built, by its header, for another processor
    OtherByteOrder,  ///< of the other byte order, by its header
    OtherClass,      ///< of the other word size, by its header
    LastLoadDropped, ///< its last loadable segment's type cleared, as one changed byte does
    DynamicOutside,  ///< its dynamic section placed past every loadable segment
    MemoryBelowFile, ///< a loadable segment smaller in memory than in the file
    DynamicZeroed,   ///< its dynamic section zero-filled
};

// A copy of the 64-bit ELF image `image` with the damage `damage`. Raises when `image` is no such image (a
// library that was not built reads as empty), so that the test fails instead of reading past it.
inline std::string DamagedElf(std::string image, Damage damage)
{
    Elf64_Ehdr eh;
    if (image.size() < sizeof eh || std::memcmp(image.data(), ELFMAG, SELFMAG) != 0 ||
        image[EI_CLASS] != ELFCLASS64)
        throw std::invalid_argument("no 64-bit ELF image (" + std::to_string(image.size()) + " bytes)");
    std::memcpy(&eh, image.data(), sizeof eh);
    if (eh.e_phentsize != sizeof(Elf64_Phdr) || eh.e_phoff > image.size() ||
        eh.e_phnum > (image.size() - eh.e_phoff) / sizeof(Elf64_Phdr))
        throw std::invalid_argument("an ELF image whose program headers do not fit it");
    const auto header = [&](std::size_t i) {
        Elf64_Phdr ph;
        std::memcpy(&ph, image.data() + eh.e_phoff + i * sizeof ph, sizeof ph);
        return ph;
    };
    const auto setHeader = [&](std::size_t i, const Elf64_Phdr& ph) {
        std::memcpy(image.data() + eh.e_phoff + i * sizeof ph, &ph, sizeof ph);
    };
    const auto lastOfType = [&](std::uint32_t type) {
        std::size_t found = eh.e_phnum;
        for (std::size_t i = 0; i < eh.e_phnum; ++i)
            if (header(i).p_type == type)
                found = i;
        if (found == eh.e_phnum)
            throw std::invalid_argument("an ELF image without the program header to damage");
        return found;
    };
    switch (damage) {
    case Damage::CutInASegment: {
        std::uint64_t cut = 0;
        for (std::size_t i = 0; i < eh.e_phnum; ++i)
            if (const Elf64_Phdr ph = header(i); ph.p_type == PT_LOAD)
                cut = std::max<std::uint64_t>(cut, ph.p_offset + ph.p_filesz / 2);
        image.resize(cut);
        break;
    }
    case Damage::HeaderTableCut:
        image.resize(eh.e_phoff + sizeof(Elf64_Phdr) + 8);
        break;
    case Damage::BadEntrySize:
        eh.e_phentsize = sizeof(Elf64_Phdr) - 1;
        std::memcpy(image.data(), &eh, sizeof eh);
        break;
    case Damage::NotElf:
        image[0] = 'X';
        break;
    case Damage::OtherMachine:
        eh.e_machine = eh.e_machine == EM_AARCH64 ? EM_RISCV : EM_AARCH64;
        std::memcpy(image.data(), &eh, sizeof eh);
        break;
    case Damage::OtherByteOrder:
        image[EI_DATA] = image[EI_DATA] == ELFDATA2LSB ? ELFDATA2MSB : ELFDATA2LSB;
        break;
    case Damage::OtherClass:
        image[EI_CLASS] = ELFCLASS32;
        break;
    case Damage::LastLoadDropped: {
        const std::size_t last = lastOfType(PT_LOAD);
        Elf64_Phdr ph = header(last);
        ph.p_type = PT_NULL;
        setHeader(last, ph);
        break;
    }
    case Damage::DynamicOutside: {
        std::uint64_t end = 0;
        for (std::size_t i = 0; i < eh.e_phnum; ++i)
            if (const Elf64_Phdr ph = header(i); ph.p_type == PT_LOAD)
                end = std::max<std::uint64_t>(end, ph.p_vaddr + ph.p_memsz);
        const std::size_t dynamic = lastOfType(PT_DYNAMIC);
        Elf64_Phdr ph = header(dynamic);
        ph.p_vaddr = ph.p_paddr = (end + 0xffff) & ~std::uint64_t(0xffff);
        setHeader(dynamic, ph);
        break;
    }
    case Damage::MemoryBelowFile: {
        const std::size_t last = lastOfType(PT_LOAD);
        Elf64_Phdr ph = header(last);
        ph.p_memsz = ph.p_filesz / 2;
        setHeader(last, ph);
        break;
    }
    case Damage::DynamicZeroed: {
        const Elf64_Phdr ph = header(lastOfType(PT_DYNAMIC));
        if (ph.p_offset > image.size() || ph.p_filesz > image.size() - ph.p_offset)
            throw std::invalid_argument("an ELF image whose dynamic section does not fit it");
        std::fill_n(image.begin() + std::ptrdiff_t(ph.p_offset), ph.p_filesz, '\0');
        break;
    }
    }
    return image;
}

} // namespace carlume::test
