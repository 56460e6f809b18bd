<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
    <context>
        <name>Commands</name>
        <message>
            <source>Export Host List(&amp;E)...</source>
            <translation>ホストリストのエクスポート(&amp;E)...</translation>
        </message>
        <message>
            <source>Import Host List(&amp;I)...</source>
            <translation>ホストリストのインポート(&amp;I)...</translation>
        </message>
        <message>
            <source>Exit Application(&amp;X)</source>
            <translation>アプリケーションの終了(&amp;X)</translation>
        </message>
        <message>
            <source>Exit Application</source>
            <translation>アプリケーションの終了</translation>
        </message>
        <message>
            <source>Exit the application</source>
            <translation>アプリケーションを終了します</translation>
        </message>
        <message>
            <source>Append(&amp;A)...</source>
            <translation>追加(&amp;A)...</translation>
        </message>
        <message>
            <source>Add a new host at the end of the list</source>
            <translation>リストの末尾に新しいホストを追加します</translation>
        </message>
        <message>
            <source>Insert(&amp;I)...</source>
            <translation>挿入(&amp;I)...</translation>
        </message>
        <message>
            <source>Insert the new host to the selected position in the list</source>
            <translation>リストの選択位置に新しいホストを挿入します</translation>
        </message>
        <message>
            <source>Edit(&amp;E)...</source>
            <translation>編集(&amp;E)...</translation>
        </message>
        <message>
            <source>Edit the information for the selected host</source>
            <translation>選択したホストの情報を編集します</translation>
        </message>
        <message>
            <source>Remove(&amp;R)</source>
            <translation>削除(&amp;R)</translation>
        </message>
        <message>
            <source>Remove the information from the selected host</source>
            <translation>選択したホストの情報を削除します</translation>
        </message>
        <message>
            <source>Cut(&amp;T)</source>
            <translation>切り取り(&amp;T)</translation>
        </message>
        <message>
            <source>Cut the line in the selection, and then copy it to the clipboard</source>
            <translation>選択中の行を切り取り、クリップボードにコピーします</translation>
        </message>
        <message>
            <source>Copy(&amp;C)</source>
            <translation>コピー(&amp;C)</translation>
        </message>
        <message>
            <source>A row in the selection, then copy it to the clipboard</source>
            <translation>選択中の行をクリップボードにコピーします</translation>
        </message>
        <message>
            <source>Paste(&amp;P)</source>
            <translation>貼り付け(&amp;P)</translation>
        </message>
        <message>
            <source>Paste the line that you copied to the clipboard</source>
            <translation>クリップボードにコピーした行を貼り付けます</translation>
        </message>
        <message>
            <source>Select All(&amp;S)</source>
            <translation>すべて選択(&amp;S)</translation>
        </message>
        <message>
            <source>Select all the rows of Host List.</source>
            <translation>ホストリストのすべての行を選択します。</translation>
        </message>
        <message>
            <source>Cancel Select(&amp;L)</source>
            <translation>選択の解除(&amp;L)</translation>
        </message>
        <message>
            <source>Cancel the selected state.</source>
            <translation>選択状態を解除します。</translation>
        </message>
        <message>
            <source>Move Up(&amp;U)</source>
            <translation>上へ移動(&amp;U)</translation>
        </message>
        <message>
            <source>Move one line up the selected host information</source>
            <translation>選択したホストの情報を 1 行上へ移動します</translation>
        </message>
        <message>
            <source>Move Down(&amp;D)</source>
            <translation>下へ移動(&amp;D)</translation>
        </message>
        <message>
            <source>Move one line down the selected host information</source>
            <translation>選択したホストの情報を 1 行下へ移動します</translation>
        </message>
        <message>
            <source>Refresh(&amp;R)</source>
            <translation>最新の情報に更新(&amp;R)</translation>
        </message>
        <message>
            <source>Updates the active status of the host</source>
            <translation>ホストの稼働状態を更新します</translation>
        </message>
        <message>
            <source>Active Check(&amp;C)</source>
            <translation>稼働チェック(&amp;C)</translation>
        </message>
        <message>
            <source>Re-display the active status of the selected host</source>
            <translation>選択したホストの稼働状態を再表示します</translation>
        </message>
        <message>
            <source>Auto Refresh Start(&amp;A)</source>
            <translation>自動更新の開始(&amp;A)</translation>
        </message>
        <message>
            <source>Start auto update of the active status</source>
            <translation>稼働状態の自動更新を開始します</translation>
        </message>
        <message>
            <source>Auto Refresh Stop(&amp;T)</source>
            <translation>自動更新の停止(&amp;T)</translation>
        </message>
        <message>
            <source>Stop auto update of the active status</source>
            <translation>稼働状態の自動更新を停止します</translation>
        </message>
        <message>
            <source>Move To Center</source>
            <translation>画面の中央へ移動</translation>
        </message>
        <message>
            <source>Reset To Default Size</source>
            <translation>既定のサイズに戻す</translation>
        </message>
        <message>
            <source>Wake Up(&amp;W)</source>
            <translation>起動(&amp;W)</translation>
        </message>
        <message>
            <source>Send a magic packet to the selected host</source>
            <translation>選択したホストにマジックパケットを送信します</translation>
        </message>
        <message>
            <source>Wake Up (Non Broadcast)(&amp;B)</source>
            <translation>起動 (非ブロードキャスト)(&amp;B)</translation>
        </message>
        <message>
            <source>Send a magic packet to the selected host (Non Broadcast)</source>
            <translation>選択したホストにマジックパケットを送信します (非ブロードキャスト)</translation>
        </message>
        <message>
            <source>Get Ip Address(&amp;I)...</source>
            <translation>IP アドレスの取得(&amp;I)...</translation>
        </message>
        <message>
            <source>Show Get IP Address dialog</source>
            <translation>IP アドレスの取得ダイアログを表示します</translation>
        </message>
        <message>
            <source>Get Mac Address(&amp;M)...</source>
            <translation>MAC アドレスの取得(&amp;M)...</translation>
        </message>
        <message>
            <source>Show Get MAC Address dialog</source>
            <translation>MAC アドレスの取得ダイアログを表示します</translation>
        </message>
        <message>
            <source>Get Host Name(&amp;N)...</source>
            <translation>ホスト名の取得(&amp;N)...</translation>
        </message>
        <message>
            <source>Show Get Host Name dialog</source>
            <translation>ホスト名の取得ダイアログを表示します</translation>
        </message>
        <message>
            <source>Send ICMP(&amp;P)...</source>
            <translation>ICMP 送信(&amp;P)...</translation>
        </message>
        <message>
            <source>Show ICMP Send dialog</source>
            <translation>ICMP 送信ダイアログを表示します</translation>
        </message>
        <message>
            <source>Collect host information(&amp;C)...</source>
            <translation>ホスト情報の収集(&amp;C)...</translation>
        </message>
        <message>
            <source>Collect a running information of the hosts in the LAN</source>
            <translation>LAN 内で稼働中のホストの情報を収集します</translation>
        </message>
        <message>
            <source>Shutdown Windows Host(&amp;S)</source>
            <translation>Windows ホストのシャットダウン(&amp;S)</translation>
        </message>
        <message>
            <source>Remote shutdown for Windows host</source>
            <translation>Windows ホストをリモートでシャットダウンします</translation>
        </message>
        <message>
            <source>Option(&amp;O)...</source>
            <translation>オプション(&amp;O)...</translation>
        </message>
        <message>
            <source>Show options setting dialog</source>
            <translation>オプション設定ダイアログを表示します</translation>
        </message>
        <message>
            <source>Version Information Pondel(&amp;A)...</source>
            <translation>バージョン情報 Pondel(&amp;A)...</translation>
        </message>
        <message>
            <source>Minimize	Ctrl+I</source>
            <translation>最小化	Ctrl+I</translation>
        </message>
        <message>
            <source>Restore Normal Size</source>
            <translation>通常のサイズに戻す</translation>
        </message>
        <message>
            <source>Last Wake(&amp;L)...</source>
            <translation>前回の起動(&amp;L)...</translation>
        </message>
        <message>
            <source>Show every packet of the last wake-up and what became of it</source>
            <translation>前回の起動で送ったすべてのパケットとその結果を表示</translation>
        </message>
        <message>
            <source>Select Group(&amp;G)</source>
            <translation>グループの選択(&amp;G)</translation>
        </message>
        <message>
            <source>Select every host of a group</source>
            <translation>グループのすべてのホストを選択します</translation>
        </message>
        <message>
            <source>Wake Group(&amp;K)</source>
            <translation>グループの起動(&amp;K)</translation>
        </message>
        <message>
            <source>Send a magic packet to every host of a group</source>
            <translation>グループのすべてのホストにマジックパケットを送信します</translation>
        </message>
        <message>
            <source>Wake All(&amp;A)</source>
            <translation>すべて起動(&amp;A)</translation>
        </message>
        <message>
            <source>Send a magic packet to every host in the list</source>
            <translation>リストのすべてのホストにマジックパケットを送信します</translation>
        </message>
        <message>
            <source>Select Group</source>
            <translation>グループの選択</translation>
        </message>
        <message>
            <source>Wake Group</source>
            <translation>グループの起動</translation>
        </message>
        <message>
            <source>Wake All</source>
            <translation>すべて起動</translation>
        </message>
        <message>
            <source>Listen for Wake Packets(&amp;T)...</source>
            <translation>起動パケットの受信(&amp;T)...</translation>
        </message>
        <message>
            <source>Show the wake packets that reach this computer, to see where one is lost</source>
            <translation>このコンピューターに届いた起動パケットを表示し、どこで失われるかを調べます</translation>
        </message>
    </context>
    <context>
        <name>ModalSeam</name>
        <message>
            <source>OK</source>
            <translation>OK</translation>
        </message>
        <message>
            <source>&amp;Yes</source>
            <translation>はい(&amp;Y)</translation>
        </message>
        <message>
            <source>&amp;No</source>
            <translation>いいえ(&amp;N)</translation>
        </message>
    </context>
    <context>
        <name>VersionBox</name>
        <message>
            <source>Version Info</source>
            <translation>バージョン情報</translation>
        </message>
    </context>
    <context>
        <name>WakeMarks</name>
        <message>
            <source>%1 s</source>
            <translation>%1 秒</translation>
        </message>
        <message>
            <source>up after %1 s</source>
            <translation>%1 秒で起動</translation>
        </message>
        <message>
            <source>no answer after %1 s</source>
            <translation>%1 秒応答なし</translation>
        </message>
        <message>
            <source>Waking: %1</source>
            <translation>起動待ち: %1</translation>
        </message>
        <message>
            <source>Check the MAC address, the interface the packet leaves by, the wake-up setting in the host's BIOS or network card, and whether a router on the way drops directed broadcasts.</source>
            <translation>MAC アドレス、パケットを送出するインターフェース、ホストの BIOS またはネットワークカードのウェイクアップ設定、途中のルーターがダイレクトブロードキャストを破棄していないかを確認してください。</translation>
        </message>
    </context>
    <context>
        <name>pondel::COptionDlg</name>
        <message>
            <source>Option</source>
            <translation>オプション</translation>
        </message>
        <message>
            <source>Response timeout ICMP:</source>
            <translation>ICMP 応答タイムアウト:</translation>
        </message>
        <message>
            <source>milliseconds</source>
            <translation>ミリ秒</translation>
        </message>
        <message>
            <source>Max number of regist host:</source>
            <translation>ホストの最大登録数:</translation>
        </message>
        <message>
            <source>Destination port number:</source>
            <translation>送信先ポート番号:</translation>
        </message>
        <message>
            <source>Usually use the 7 (Echo)</source>
            <translation>通常は 7 (Echo) を使います</translation>
        </message>
        <message>
            <source>At the start check the active status of the host in list.</source>
            <translation>起動時にリスト内のホストの稼働状態を確認する</translation>
        </message>
        <message>
            <source>Do not use the external command</source>
            <translation>外部コマンドを使わない</translation>
        </message>
        <message>
            <source>Check before sending the magic packet to other network.</source>
            <translation>他のネットワークへマジックパケットを送る前に確認する</translation>
        </message>
        <message>
            <source>Enable Auto Refresh</source>
            <translation>自動更新を有効にする</translation>
        </message>
        <message>
            <source>Also ask hosts on this computer&apos;s own networks by ARP</source>
            <translation>このコンピューターのネットワーク上のホストには ARP でも問い合わせる</translation>
        </message>
        <message>
            <source>Show the vendor of the MAC address in a column</source>
            <translation>MAC アドレスのベンダーを列に表示する</translation>
        </message>
        <message>
            <source>Auto refresh interval:</source>
            <translation>自動更新の間隔:</translation>
        </message>
        <message>
            <source>seconds</source>
            <translation>秒</translation>
        </message>
        <message>
            <source>Show active mark in the icon</source>
            <translation>稼働マークをアイコンで表示する</translation>
        </message>
        <message>
            <source>Show active mark in a text</source>
            <translation>稼働マークを文字で表示する</translation>
        </message>
        <message>
            <source>Active mark:  Back Color</source>
            <translation>稼働マーク:  背景色</translation>
        </message>
        <message>
            <source>Text Color</source>
            <translation>文字色</translation>
        </message>
        <message>
            <source>Mark Text</source>
            <translation>マーク文字</translation>
        </message>
        <message>
            <source>Do not use broadcast by default when sending magic packets.</source>
            <translation>マジックパケットを送るとき、既定でブロードキャストを使わない</translation>
        </message>
        <message>
            <source>Put the icon in the task tray</source>
            <translation>タスクトレイにアイコンを置く</translation>
        </message>
        <message>
            <source>Enable remote shutdown</source>
            <translation>リモートシャットダウンを有効にする</translation>
        </message>
        <message>
            <source>Shutdown command:</source>
            <translation>シャットダウンコマンド:</translation>
        </message>
        <message>
            <source>%s stands for the IP address of the host.
Put an argument with blanks in double quotes.</source>
            <translation>%s はホストの IP アドレスに置き換わります。
空白を含む引数はダブルクォートで囲んでください。</translation>
        </message>
        <message>
            <source>OK</source>
            <translation>OK</translation>
        </message>
        <message>
            <source>Cancel</source>
            <translation>キャンセル</translation>
        </message>
        <message>
            <source>Please enter an integer.</source>
            <translation>整数を入力してください。</translation>
        </message>
        <message>
            <source>Please enter an integer between %1 and %2.</source>
            <translation>%1 から %2 までの整数を入力してください。</translation>
        </message>
        <message>
            <source>Wake</source>
            <translation>起動</translation>
        </message>
        <message>
            <source>Also to 255.255.255.255 (limited broadcast)</source>
            <translation>255.255.255.255 にも送る (リミテッドブロードキャスト)</translation>
        </message>
        <message>
            <source>Also to the host&apos;s own address</source>
            <translation>ホスト自身のアドレスにも送る</translation>
        </message>
        <message>
            <source>Also to the IPv6 all-nodes group ff02::1</source>
            <translation>IPv6 全ノードグループ ff02::1 にも送る</translation>
        </message>
        <message>
            <source>Also as an Ethernet frame (needs privileges)</source>
            <translation>Ethernet フレームとしても送る (権限が必要)</translation>
        </message>
        <message>
            <source>for example 9</source>
            <translation>例: 9</translation>
        </message>
        <message>
            <source>Extra ports:</source>
            <translation>追加のポート:</translation>
        </message>
        <message>
            <source>besides the destination port</source>
            <translation>送信先ポート番号に加えて</translation>
        </message>
        <message>
            <source>Send each packet:</source>
            <translation>各パケットの送信回数:</translation>
        </message>
        <message>
            <source>times</source>
            <translation>回</translation>
        </message>
        <message>
            <source>Between the rounds:</source>
            <translation>送信の間隔:</translation>
        </message>
        <message>
            <source>Check a woken host every:</source>
            <translation>起動したホストの確認間隔:</translation>
        </message>
        <message>
            <source>Watch it for:</source>
            <translation>確認を続ける時間:</translation>
        </message>
        <message>
            <source>seconds (0: check once)</source>
            <translation>秒 (0: 1 回だけ確認)</translation>
        </message>
        <message>
            <source>Send again every:</source>
            <translation>再送の間隔:</translation>
        </message>
        <message>
            <source>seconds (0: never)</source>
            <translation>秒 (0: 再送しない)</translation>
        </message>
        <message>
            <source>Please enter port numbers between 1 and 65535, separated by commas.</source>
            <translation>1 から 65535 までのポート番号をコンマで区切って入力してください。</translation>
        </message>
    </context>
    <context>
        <name>pondel::CPondelDlg</name>
        <message>
            <source>No hosts yet: Edit &gt; Append, or Tool &gt; Collect host information</source>
            <translation>ホスト未登録: [編集] &gt; [追加]、または [ツール] &gt; [ホスト情報の収集]</translation>
        </message>
        <message>
            <source>There is no system tray on this desktop, so the icon cannot be shown. The window minimises as usual.</source>
            <translation>このデスクトップにはシステムトレイがないため、アイコンを表示できません。ウィンドウは通常どおり最小化されます。</translation>
        </message>
        <message>
            <source>The list holds %1 hosts, more than the new maximum of %2. No host can be added, and the next start shows only the first %2; the others stay in the settings file.</source>
            <translation>リストには新しい最大数 %2 を超える %1 台のホストがあります。ホストは追加できず、次回の起動では最初の %2 台だけが表示されます。残りは設定ファイルに残ります。</translation>
        </message>
        <message>
            <source>Hosts imported: %1</source>
            <translation>インポートしたホスト: %1</translation>
        </message>
        <message>
            <source>Lines that are not hosts, left out: %1</source>
            <translation>ホストではないため除外した行: %1</translation>
        </message>
        <message>
            <source>Hosts already in the list, skipped: %1</source>
            <translation>登録済みのため飛ばしたホスト: %1</translation>
        </message>
        <message>
            <source>Hosts left out because the list is full: %1</source>
            <translation>リストが満杯のため除外したホスト: %1</translation>
        </message>
        <message>
            <source>Hosts exported: %1</source>
            <translation>エクスポートしたホスト: %1</translation>
        </message>
        <message>
            <source>%1 of the hosts in the file are already in the list (the same MAC address, or the same name and IP address).
Add them again?</source>
            <translation>ファイル内の %1 台のホストはすでにリストにあります (MAC アドレスが同じ、または名前と IP アドレスが同じ)。
もう一度追加しますか?</translation>
        </message>
        <message>
            <source>Collecting host information: the list cannot be changed until it ends.</source>
            <translation>ホスト情報を収集中です。終了するまでリストは変更できません。</translation>
        </message>
        <message>
            <source>These hosts could not be woken:</source>
            <translation>次のホストを起動できませんでした:</translation>
        </message>
        <message>
            <source>During  active status updates :     1 /    0        </source>
            <translation>稼働状態の更新中 :     1 /    0        </translation>
        </message>
        <message>
            <source>Selected:     0    </source>
            <translation>選択数:     0    </translation>
        </message>
        <message>
            <source>List count:      0    </source>
            <translation>リスト数:      0    </translation>
        </message>
        <message>
            <source>The settings could not be saved to %1.
%2</source>
            <translation>設定を %1 に保存できませんでした。
%2</translation>
        </message>
        <message>
            <source>File(&amp;F)</source>
            <translation>ファイル(&amp;F)</translation>
        </message>
        <message>
            <source>Edit(&amp;E)</source>
            <translation>編集(&amp;E)</translation>
        </message>
        <message>
            <source>View(&amp;V)</source>
            <translation>表示(&amp;V)</translation>
        </message>
        <message>
            <source>Tool(&amp;T)</source>
            <translation>ツール(&amp;T)</translation>
        </message>
        <message>
            <source>Help(&amp;H)</source>
            <translation>ヘルプ(&amp;H)</translation>
        </message>
        <message>
            <source>Toolbar</source>
            <translation>ツールバー</translation>
        </message>
        <message>
            <source>List count: %1</source>
            <translation>リスト数: %1</translation>
        </message>
        <message>
            <source>Selected: %1</source>
            <translation>選択数: %1</translation>
        </message>
        <message>
            <source> Active</source>
            <translation> 稼働</translation>
        </message>
        <message>
            <source>Host Name</source>
            <translation>ホスト名</translation>
        </message>
        <message>
            <source>Comment</source>
            <translation>コメント</translation>
        </message>
        <message>
            <source>IP Address</source>
            <translation>IP アドレス</translation>
        </message>
        <message>
            <source>Netmask</source>
            <translation>ネットマスク</translation>
        </message>
        <message>
            <source>MAC Address</source>
            <translation>MAC アドレス</translation>
        </message>
        <message>
            <source>Vendor</source>
            <translation>ベンダー</translation>
        </message>
        <message>
            <source>CSV with groups and wake options (*.csv)</source>
            <translation>グループと起動オプション付き CSV (*.csv)</translation>
        </message>
        <message>
            <source>Group</source>
            <translation>グループ</translation>
        </message>
        <message>
            <source>Wake the one host in the list?</source>
            <translation>リストの 1 台のホストを起動しますか?</translation>
        </message>
        <message>
            <source>Wake all %1 hosts?</source>
            <translation>%1 台のホストをすべて起動しますか?</translation>
        </message>
        <message>
            <source>Export To CSV File</source>
            <translation>CSV ファイルへエクスポート</translation>
        </message>
        <message>
            <source>Import From CSV File</source>
            <translation>CSV ファイルからインポート</translation>
        </message>
        <message>
            <source>Please select the host</source>
            <translation>ホストを選択してください</translation>
        </message>
        <message>
            <source>The hosts could not be placed on the clipboard. They stay in the list.</source>
            <translation>ホストをクリップボードに置けませんでした。ホストはリストに残しています。</translation>
        </message>
        <message>
            <source>There is no data to be pasted.</source>
            <translation>貼り付けるデータがありません。</translation>
        </message>
        <message>
            <source>Different format of the data to be pasted is.</source>
            <translation>貼り付けるデータの形式が違います。</translation>
        </message>
        <message>
            <source>Can not obtain IP address</source>
            <translation>IPアドレスを取得できません</translation>
        </message>
        <message>
            <source>Gather the host information by sending an ICMP to the address of the specified range.
Are you sure?</source>
            <translation>指定範囲のアドレスにICMPを送信してホスト情報を収集します。
よろしいですか？</translation>
        </message>
        <message>
            <source>IP address collection</source>
            <translation>IPアドレス収集</translation>
        </message>
        <message>
            <source>Host information collection has been canceled</source>
            <translation>ホスト情報収集を中止しました</translation>
        </message>
        <message>
            <source>ICMP does not use.
Please change the settings you want to use an external command.</source>
            <translation>ICMPを使用できません。
外部コマンドを使用する設定に変更してください。</translation>
        </message>
        <message>
            <source>During  active status updates</source>
            <translation>稼働状態の更新中</translation>
        </message>
        <message>
            <source>To send echo requests itself, the program needs ICMP sockets: allow them for your group with the sysctl net.ipv4.ping_group_range, or clear "Do not use the external command" in the options so that the system's ping is used.</source>
            <translation>自前でエコー要求を送るにはICMPソケットが必要です。sysctl の net.ipv4.ping_group_range でグループに許可するか、オプションの「外部コマンドを使用しない」を外してシステムの ping を使ってください。</translation>
        </message>
        <message>
            <source>Over the maximum number of hosts registered</source>
            <translation>登録できるホストの最大数を超えています</translation>
        </message>
        <message>
            <source>Please select only one item</source>
            <translation>項目を 1 つだけ選択してください</translation>
        </message>
        <message>
            <source>Removes the selected host information.
Are you sure?</source>
            <translation>選択したホスト情報を削除します。
よろしいですか?</translation>
        </message>
        <message>
            <source>Are you sure you want to delete?</source>
            <translation>削除してもよろしいですか?</translation>
        </message>
    </context>
    <context>
        <name>Messages</name>
        <message>
            <source>Please select the host</source>
            <translation>ホストを選択してください</translation>
        </message>
        <message>
            <source>It is the other networks. Would you like to send?</source>
            <translation>他のネットワークです。送信しますか？</translation>
        </message>
        <message>
            <source>IP address is not set</source>
            <translation>IPアドレスが設定されていません</translation>
        </message>
        <message>
            <source>It is illegal MAC address</source>
            <translation>MACアドレスが不正です</translation>
        </message>
        <message>
            <source>Shut down the selected host.
Do you really want?</source>
            <translation>選択したホストをシャットダウンします。
よろしいですか？</translation>
        </message>
        <message>
            <source>Remote Shutdown failed</source>
            <translation>リモートシャットダウンに失敗しました</translation>
        </message>
        <message>
            <source>Host address is empty</source>
            <translation>ホストのアドレスが空です</translation>
        </message>
        <message>
            <source>It is illegal SecureOn password</source>
            <translation>SecureOn パスワードが不正です</translation>
        </message>
        <message>
            <source>It is illegal interface name</source>
            <translation>インターフェース名が不正です</translation>
        </message>
    </context>
    <context>
        <name>pondel::CCollectHostDlg</name>
        <message>
            <source>Host information collection</source>
            <translation>ホスト情報収集</translation>
        </message>
        <message>
            <source>Start IP Address:</source>
            <translation>開始IPアドレス:</translation>
        </message>
        <message>
            <source>End IP Address:</source>
            <translation>終了IPアドレス:</translation>
        </message>
        <message>
            <source>Net Mask:</source>
            <translation>ネットマスク:</translation>
        </message>
        <message>
            <source>Timeout of ICMP Reply:</source>
            <translation>ICMP応答のタイムアウト:</translation>
        </message>
        <message>
            <source>msec</source>
            <translation>ミリ秒</translation>
        </message>
        <message>
            <source>Start</source>
            <translation>開始</translation>
        </message>
        <message>
            <source>Cancel</source>
            <translation>キャンセル</translation>
        </message>
        <message>
            <source>Search for a host of running by sending ICMP to the following address.</source>
            <translation>次のアドレスにICMPを送信して稼働中のホストを検索します。</translation>
        </message>
        <message>
            <source>Please enter a positive integer.</source>
            <translation>正の整数を入力してください。</translation>
        </message>
    </context>
    <context>
        <name>pondel::CCollectProcDlg</name>
        <message>
            <source>Host information collection progress</source>
            <translation>ホスト情報収集の進行状況</translation>
        </message>
        <message>
            <source>Stop</source>
            <translation>停止</translation>
        </message>
        <message>
            <source>Progress state:</source>
            <translation>進行状況:</translation>
        </message>
        <message>
            <source>Address in check:</source>
            <translation>チェック中のアドレス:</translation>
        </message>
        <message>
            <source>Detect Count</source>
            <translation>検出数</translation>
        </message>
    </context>
    <context>
        <name>pondel::CAboutDlg</name>
        <message>
            <source>Version Info</source>
            <translation>バージョン情報</translation>
        </message>
        <message>
            <source>Copyright (C)</source>
            <translation>Copyright (C)</translation>
        </message>
        <message>
            <source>Settings file: %1</source>
            <translation>設定ファイル: %1</translation>
        </message>
        <message>
            <source>OK</source>
            <translation>OK</translation>
        </message>
    </context>
    <context>
        <name>pondel::CGetHostDlg</name>
        <message>
            <source>Get Host Name</source>
            <translation>ホスト名の取得</translation>
        </message>
        <message>
            <source>Get...</source>
            <translation>取得...</translation>
        </message>
        <message>
            <source>OK</source>
            <translation>OK</translation>
        </message>
        <message>
            <source>Cancel</source>
            <translation>キャンセル</translation>
        </message>
        <message>
            <source>Gets the host name from IP address.</source>
            <translation>IP アドレスからホスト名を取得します。</translation>
        </message>
        <message>
            <source>IP Address:</source>
            <translation>IP アドレス:</translation>
        </message>
        <message>
            <source>Host Name:</source>
            <translation>ホスト名:</translation>
        </message>
        <message>
            <source>Close</source>
            <translation>閉じる</translation>
        </message>
        <message>
            <source>Can not find the host name of the IP address</source>
            <translation>IP アドレスのホスト名が見つかりません</translation>
        </message>
    </context>
    <context>
        <name>pondel::CGetIpDlg</name>
        <message>
            <source>Get IP Address</source>
            <translation>IP アドレスの取得</translation>
        </message>
        <message>
            <source>OK</source>
            <translation>OK</translation>
        </message>
        <message>
            <source>Cancel</source>
            <translation>キャンセル</translation>
        </message>
        <message>
            <source>Get the IP address from the host name.</source>
            <translation>ホスト名から IP アドレスを取得します。</translation>
        </message>
        <message>
            <source>Host Name:</source>
            <translation>ホスト名:</translation>
        </message>
        <message>
            <source>IP Address:</source>
            <translation>IP アドレス:</translation>
        </message>
        <message>
            <source>Close</source>
            <translation>閉じる</translation>
        </message>
        <message>
            <source>Can not find the IP address of the host</source>
            <translation>ホストの IP アドレスが見つかりません</translation>
        </message>
    </context>
    <context>
        <name>pondel::CGetMacAddrDlg</name>
        <message>
            <source>Get MAC Address</source>
            <translation>MAC アドレスの取得</translation>
        </message>
        <message>
            <source>OK</source>
            <translation>OK</translation>
        </message>
        <message>
            <source>Cancel</source>
            <translation>キャンセル</translation>
        </message>
        <message>
            <source>Note: Should be the target host is running to get the MAC address</source>
            <translation>注意: MAC アドレスを取得するには対象のホストが起動している必要があります</translation>
        </message>
        <message>
            <source>Get the MAC address from the IP address or host name.</source>
            <translation>IP アドレスまたはホスト名から MAC アドレスを取得します。</translation>
        </message>
        <message>
            <source>Host Name or IP Address:</source>
            <translation>ホスト名または IP アドレス:</translation>
        </message>
        <message>
            <source>MAC Address:</source>
            <translation>MAC アドレス:</translation>
        </message>
        <message>
            <source>Close</source>
            <translation>閉じる</translation>
        </message>
        <message>
            <source>Please enter the IP address or host name</source>
            <translation>IP アドレスまたはホスト名を入力してください</translation>
        </message>
        <message>
            <source>Can not find the MAC address from the ARP command output</source>
            <translation>ARP コマンドの出力から MAC アドレスが見つかりません</translation>
        </message>
    </context>
    <context>
        <name>pondel::AddressEdit</name>
        <message>
            <source>An IP address is four numbers from 0 to 255, split by dots.</source>
            <translation>IP アドレスは 0 から 255 までの 4 つの数をドットで区切ったものです。</translation>
        </message>
        <message>
            <source>%1 is too large: each number of an IP address is 0 to 255.</source>
            <translation>%1 は大きすぎます。IP アドレスの各数は 0 から 255 までです。</translation>
        </message>
    </context>
    <context>
        <name>pondel::CLastWakeDlg</name>
        <message>
            <source>Last Wake</source>
            <translation>前回の起動</translation>
        </message>
        <message>
            <source>Host</source>
            <translation>ホスト</translation>
        </message>
        <message>
            <source>Path</source>
            <translation>経路</translation>
        </message>
        <message>
            <source>Destination</source>
            <translation>送信先</translation>
        </message>
        <message>
            <source>Port</source>
            <translation>ポート</translation>
        </message>
        <message>
            <source>Interface</source>
            <translation>インターフェース</translation>
        </message>
        <message>
            <source>Round</source>
            <translation>回</translation>
        </message>
        <message>
            <source>Result</source>
            <translation>結果</translation>
        </message>
        <message>
            <source>Reason</source>
            <translation>理由</translation>
        </message>
        <message>
            <source>Close</source>
            <translation>閉じる</translation>
        </message>
        <message>
            <source>No wake-up has been sent since the window opened.</source>
            <translation>ウィンドウを開いてから起動パケットは送られていません。</translation>
        </message>
        <message>
            <source>1 packet</source>
            <translation>1 パケット</translation>
        </message>
        <message>
            <source>%1 packets</source>
            <translation>%1 パケット</translation>
        </message>
        <message>
            <source>on 1 path</source>
            <translation>(1 経路)</translation>
        </message>
        <message>
            <source>on %1 paths</source>
            <translation>(%1 経路)</translation>
        </message>
        <message>
            <source>, %1 skipped</source>
            <translation>、%1 件スキップ</translation>
        </message>
        <message>
            <source>, %1 failed</source>
            <translation>、%1 件失敗</translation>
        </message>
        <message>
            <source>%1 hosts</source>
            <translation>%1 台のホスト</translation>
        </message>
        <message>
            <source>directed broadcast</source>
            <translation>ディレクテッドブロードキャスト</translation>
        </message>
        <message>
            <source>limited broadcast</source>
            <translation>リミテッドブロードキャスト</translation>
        </message>
        <message>
            <source>unicast</source>
            <translation>ユニキャスト</translation>
        </message>
        <message>
            <source>IPv6 all-nodes</source>
            <translation>IPv6 全ノード</translation>
        </message>
        <message>
            <source>raw frame</source>
            <translation>Ethernet フレーム</translation>
        </message>
        <message>
            <source>not sent</source>
            <translation>未送信</translation>
        </message>
        <message>
            <source>sent</source>
            <translation>送信済み</translation>
        </message>
        <message>
            <source>skipped</source>
            <translation>スキップ</translation>
        </message>
        <message>
            <source>failed</source>
            <translation>失敗</translation>
        </message>
        <message>
            <source>not delivered</source>
            <translation>未到達</translation>
        </message>
    </context>
    <context>
        <name>pondel::CHostEditDlg</name>
        <message>
            <source>Add Host</source>
            <translation>ホストの追加</translation>
        </message>
        <message>
            <source>Edit Host</source>
            <translation>ホストの編集</translation>
        </message>
        <message>
            <source>Get...</source>
            <translation>取得...</translation>
        </message>
        <message>
            <source>Host Name:</source>
            <translation>ホスト名:</translation>
        </message>
        <message>
            <source>Comment:</source>
            <translation>コメント:</translation>
        </message>
        <message>
            <source>IP Address:</source>
            <translation>IP アドレス:</translation>
        </message>
        <message>
            <source>Netmask:</source>
            <translation>ネットマスク:</translation>
        </message>
        <message>
            <source>MAC Address:</source>
            <translation>MAC アドレス:</translation>
        </message>
        <message>
            <source>OK</source>
            <translation>OK</translation>
        </message>
        <message>
            <source>Cancel</source>
            <translation>キャンセル</translation>
        </message>
        <message>
            <source>Please enter the IP address</source>
            <translation>IP アドレスを入力してください</translation>
        </message>
        <message>
            <source>chosen by the IP address</source>
            <translation>IP アドレスから選択</translation>
        </message>
        <message>
            <source>none</source>
            <translation>なし</translation>
        </message>
        <message>
            <source>Interface:</source>
            <translation>インターフェース:</translation>
        </message>
        <message>
            <source>SecureOn:</source>
            <translation>SecureOn:</translation>
        </message>
        <message>
            <source>An interface name has at most 15 characters, without blanks, &apos;/&apos; or &apos;:&apos;.</source>
            <translation>インターフェース名は 15 文字以内で、空白、&apos;/&apos;、&apos;:&apos; は使えません。</translation>
        </message>
        <message>
            <source>Group:</source>
            <translation>グループ:</translation>
        </message>
        <message>
            <source>A group name has at most 31 bytes, without control characters, and is not "*".</source>
            <translation>グループ名は 31 バイト以内で、制御文字は使えず、"*" にはできません。</translation>
        </message>
    </context>
    <context>
        <name>pondel::CSendIcmpDlg</name>
        <message>
            <source>Send ICMP</source>
            <translation>ICMP 送信</translation>
        </message>
        <message>
            <source>Send</source>
            <translation>送信</translation>
        </message>
        <message>
            <source>Close</source>
            <translation>閉じる</translation>
        </message>
        <message>
            <source>Send an ICMP packet to the specified host.</source>
            <translation>指定したホストに ICMP パケットを送信します。</translation>
        </message>
        <message>
            <source>Host Name or IP Address:</source>
            <translation>ホスト名または IP アドレス:</translation>
        </message>
        <message>
            <source>Status:</source>
            <translation>状態:</translation>
        </message>
        <message>
            <source>Please enter the IP address or host name</source>
            <translation>IP アドレスまたはホスト名を入力してください</translation>
        </message>
    </context>
    <context>
        <name>pondel::HostTableModel</name>
        <message>
            <source>%1 (%2)</source>
            <translation>%1 (%2)</translation>
        </message>
        <message>
            <source>Running, but does not answer ping: %1 answered ARP</source>
            <translation>稼働中ですが ping に応答しません: %1 が ARP に応答しました</translation>
        </message>
        <message>
            <source>Another machine answers for this address: %1 answered, %2 expected</source>
            <translation>このアドレスには別のマシンが応答しています: 応答 %1、期待 %2</translation>
        </message>
    </context>
    <context>
        <name>pondel::CListenDlg</name>
        <message>
            <source>Listen for Wake Packets</source>
            <translation>起動パケットの受信</translation>
        </message>
        <message>
            <source>Clear</source>
            <translation>クリア</translation>
        </message>
        <message>
            <source>Copy</source>
            <translation>コピー</translation>
        </message>
        <message>
            <source>Close</source>
            <translation>閉じる</translation>
        </message>
        <message>
            <source>Not listening.</source>
            <translation>受信していません。</translation>
        </message>
        <message>
            <source>Nothing could be opened to listen on:
%1</source>
            <translation>受信に使えるポートを一つも開けませんでした:
%1</translation>
        </message>
        <message>
            <source>Listening on: %1</source>
            <translation>受信中: %1</translation>
        </message>
        <message>
            <source>    To allow it: %1</source>
            <translation>    許可するには: %1</translation>
        </message>
        <message>
            <source>Could not listen on:</source>
            <translation>次では受信できません:</translation>
        </message>
        <message>
            <source>Stop</source>
            <translation>停止</translation>
        </message>
        <message>
            <source>Start</source>
            <translation>開始</translation>
        </message>
        <message>
            <source>Not a wake packet: %1</source>
            <translation>起動パケット以外: %1</translation>
        </message>
        <message>
            <source>The rows could not be placed on the clipboard.</source>
            <translation>行をクリップボードに置けませんでした。</translation>
        </message>
        <message>
            <source>1 row copied.</source>
            <translation>1 行をコピーしました。</translation>
        </message>
        <message>
            <source>%1 rows copied.</source>
            <translation>%1 行をコピーしました。</translation>
        </message>
    </context>
    <context>
        <name>pondel::ListenedPacketModel</name>
        <message>
            <source>Time</source>
            <translation>時刻</translation>
        </message>
        <message>
            <source>From</source>
            <translation>送信元</translation>
        </message>
        <message>
            <source>To</source>
            <translation>宛先</translation>
        </message>
        <message>
            <source>Path</source>
            <translation>経路</translation>
        </message>
        <message>
            <source>Target MAC</source>
            <translation>対象 MAC</translation>
        </message>
        <message>
            <source>Host</source>
            <translation>ホスト</translation>
        </message>
        <message>
            <source>SecureOn</source>
            <translation>SecureOn</translation>
        </message>
        <message>
            <source>Repeats</source>
            <translation>回数</translation>
        </message>
        <message>
            <source>%1 (%2)</source>
            <translation>%1 (%2)</translation>
        </message>
        <message>
            <source>yes</source>
            <translation>あり</translation>
        </message>
    </context>
</TS>
