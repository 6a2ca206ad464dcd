#!/usr/bin/perl
# Lists the functions a 32-bit Windows program imports, one "<how> <dll>
# <function>" line each: how is "start" for the import table, which Windows
# resolves before the program runs, or "delay" for a delay-load descriptor,
# resolved at the first call. An import by number prints "#<ordinal>".
#
# GNU ld leaves the delay-import directory of the header empty (the MinGW
# helper finds the descriptors itself), so they are found by their shape:
# attributes 1 (addresses are RVAs), the DLL's name ending in .dll, and a
# name table whose entries all point at names.
#
#   tests/pe_imports.pl <program.exe>
use strict;
use warnings;

my $path = shift or die "usage: pe_imports.pl <program.exe>\n";
open my $file, '<:raw', $path or die "$path: $!\n";
my $image = do { local $/; <$file> };
close $file;

sub u16 { unpack 'v', substr($image, $_[0], 2) }
sub u32 { unpack 'V', substr($image, $_[0], 4) }

my $pe = u32(0x3c);
die "$path: not a PE file\n" unless substr($image, $pe, 4) eq "PE\0\0";
my $sections = u16($pe + 6);
my $optional = $pe + 24;
die "$path: not a 32-bit program\n" unless u16($optional) == 0x10b;
my $table = $optional + u16($pe + 20);

my @sections;
for my $i (0 .. $sections - 1) {
    my $s = $table + 40 * $i;
    push @sections, {rva => u32($s + 12), size => u32($s + 8), raw => u32($s + 20), rawsize => u32($s + 16)};
}

# The file offset of an address, or undef when no section holds it.
sub offset {
    my ($rva) = @_;
    for my $s (@sections) {
        my $size = $s->{size} > $s->{rawsize} ? $s->{rawsize} : $s->{size};
        return $s->{raw} + $rva - $s->{rva} if $rva >= $s->{rva} && $rva < $s->{rva} + $size;
    }
    return undef;
}

sub text {
    my ($rva) = @_;
    my $at = offset($rva);
    return undef unless defined $at;
    my $end = index($image, "\0", $at);
    return $end < 0 ? undef : substr($image, $at, $end - $at);
}

# The names of a name table's entries; undef when one is not a name.
sub names {
    my ($rva) = @_;
    my $at = offset($rva);
    return undef unless defined $at;
    my @names;
    for (my $entry = u32($at); $entry != 0; $at += 4, $entry = u32($at)) {
        if ($entry & 0x80000000) {
            push @names, '#' . ($entry & 0xffff);
            next;
        }
        my $name = text($entry + 2);
        return undef unless defined $name && $name =~ /^[A-Za-z_?@][\w@?\$]*$/;
        push @names, $name;
        return undef if @names > 10000;
    }
    return \@names;
}

# The import table: 20-byte descriptors up to an empty one.
my $imports = u32($optional + 104);
if ($imports) {
    for (my $at = offset($imports); u32($at + 12) != 0; $at += 20) {
        my $dll = text(u32($at + 12));
        my $lookup = u32($at) || u32($at + 16);
        print "start $dll $_\n" for @{names($lookup) // die "$path: unreadable import table of $dll\n"};
    }
}

# Delay-load descriptors: 32 bytes, 4-byte aligned, anywhere in a section.
for my $s (@sections) {
    for (my $at = $s->{raw}; $at + 32 <= $s->{raw} + $s->{rawsize}; $at += 4) {
        next unless u32($at) == 1;
        my ($name, $module, $iat, $int) = map { u32($at + 4 * $_) } 1 .. 4;
        next unless $name && $module && $iat && $int;
        my $dll = text($name);
        next unless defined $dll && $dll =~ /^[\w.-]+\.dll$/i;
        my $functions = names($int);
        next unless $functions && @$functions;
        print "delay $dll $_\n" for @$functions;
    }
}
